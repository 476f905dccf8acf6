// The built-in packages a program calls by name: DBMS_OUTPUT, DBMS_UTILITY, and
// RAISE_APPLICATION_ERROR.
#include "localdb/plsql/plsqlCompilerImpl.h"
#include "localdb/plsql/plsqlOutput.h"

#include <chrono>

namespace localdb::plsql {
namespace {

std::int64_t integerArgument(Context &ctx, const Datum &d) {
    Datum v = assignTo(PlType::integer(), d, ctx.session());
    return isNull(v) ? 0 : std::get<std::int64_t>(v);
}

// The name DBMS_OUTPUT's line arrays carry as a type.
const char *const kOutputLines = "DBMS_OUTPUT.CHARARR";

// lines(i) of a DBMS_OUTPUT line array: an index-by table of lines numbered from 1, held as a
// record of its lines; an index with no line raises NO_DATA_FOUND as such a table does.
struct OutputLineElement : Expr {
    ExprP array, index;
    Datum eval(Context &ctx) const override {
        Datum a = array->eval(ctx);
        Datum i = index->eval(ctx);
        if (isNull(i))
            raiseCode(6502, "NULL index table key value");
        const std::int64_t n = integerArgument(ctx, i);
        auto *r = std::get_if<std::shared_ptr<Record>>(&a);
        if (!r || !*r || n < 1 || n > std::int64_t((*r)->fields.size()))
            raiseCode(1403);
        return (*r)->fields[size_t(n - 1)];
    }
};

// lines.COUNT.
struct OutputLineCount : Expr {
    ExprP array;
    Datum eval(Context &ctx) const override {
        Datum a = array->eval(ctx);
        auto *r = std::get_if<std::shared_ptr<Record>>(&a);
        return std::int64_t(r && *r ? (*r)->fields.size() : 0);
    }
};

const char *const kOutputProcedures[] = {"ENABLE", "DISABLE", "PUT", "PUT_LINE", "NEW_LINE", "GET_LINE", "GET_LINES"};

bool isOutputProcedure(const std::string &name) {
    for (const char *p : kOutputProcedures)
        if (name == p)
            return true;
    return false;
}

}  // namespace

bool isOutputLinesType(const std::vector<std::string> &parts) {
    std::vector<std::string> p = parts;
    if (p.size() > 1 && p.front() == "SYS")
        p.erase(p.begin());
    return (p.size() == 2 && p[0] == "DBMS_OUTPUT" && p[1] == "CHARARR") ||
           (p.size() == 1 && p[0] == "DBMSOUTPUT_LINESARRAY");
}

PlType outputLinesType() {
    static const auto lines = std::make_shared<RecordType>();
    PlType t;
    t.kind = TypeKind::Record;
    t.name = kOutputLines;
    t.record = lines;
    return t;
}

ExprP Compiler::outputLinesMember(ExprP array, const Name &n, int offset) {
    if (n.parts.size() == 2 && n.parts[1] == "COUNT") {
        auto c = std::make_unique<OutputLineCount>();
        lineColumn(offset, c->line, c->column);
        c->type = PlType::integer();
        c->array = std::move(array);
        return c;
    }
    if (n.parts.size() > 1) {
        errorPair(n.offsets[1], 302, "component '" + n.parts[1] + "' must be declared", "PL/SQL: Statement ignored",
                  statementOffset);
        return array;
    }
    if (!acceptOp("("))
        return array;
    auto e = std::make_unique<OutputLineElement>();
    lineColumn(offset, e->line, e->column);
    e->type = PlType::text();
    e->array = std::move(array);
    e->index = expression();
    expectOp(")");
    return e;
}

bool Compiler::isOutputLines(const PlType &t) { return t.kind == TypeKind::Record && t.name == kOutputLines; }

std::vector<ExprP> Compiler::builtinArguments(std::vector<TargetP> *outs, const std::vector<bool> &outMask) {
    std::vector<ExprP> args;
    if (!acceptOp("("))
        return args;
    if (!isOp(")")) {
        do {
            if ((peek().kind == TokenKind::Identifier) && isOp("=>", 1)) {
                advance();
                advance();
            }
            const size_t i = args.size();
            if (outs && i < outMask.size() && outMask[i]) {
                outs->push_back(target("OUT"));
                args.push_back(nullptr);
            } else {
                args.push_back(expression());
            }
        } while (acceptOp(","));
    }
    expectOp(")");
    return args;
}

StmtP Compiler::builtinProcedure(const std::string &package, const std::string &name, int offset,
                                 int componentOffset) {
    auto s = std::make_unique<BuiltinCall>();
    auto wrongArguments = [&](const std::string &what) {
        errorPair(offset, 306, "wrong number or types of arguments in call to '" + what + "'",
                  "PL/SQL: Statement ignored", offset);
    };
    if (package.empty() && name == "RAISE_APPLICATION_ERROR") {
        s->args = builtinArguments();
        if (s->args.size() < 2 || s->args.size() > 3)
            wrongArguments(name);
        s->fn = [](Context &ctx, std::vector<Datum> &a) {
            std::int64_t n = integerArgument(ctx, a[0]);
            if (n < -20999 || n > -20000)
                raiseCode(21000, std::to_string(n));
            PlError e;
            e.code = int(-n);
            std::string msg = toText(a[1], ctx.session());
            if (msg.size() > 2048)
                msg.resize(2048);
            char prefix[16];
            std::snprintf(prefix, sizeof prefix, "ORA-%05d: ", e.code);
            e.message = prefix + msg;
            // keep_errors => TRUE keeps the error being handled below the new one.
            if (a.size() > 2 && toBoolean(a[2]) && ctx.handling) {
                e.stack.push_back(ctx.handling->message);
                for (const auto &l : ctx.handling->stack)
                    e.stack.push_back(l);
            }
            throw e;
        };
        return s;
    }
    if (package == "DBMS_OUTPUT") {
        if (name == "PUT_LINE" || name == "PUT") {
            s->args = builtinArguments();
            if (s->args.size() != 1) {
                wrongArguments(name);
                return s;
            }
            const bool line = name == "PUT_LINE";
            s->fn = [line](Context &ctx, std::vector<Datum> &a) {
                if (std::holds_alternative<bool>(a[0]))
                    raiseCode(6550);
                outputPut(ctx.state.output, toText(a[0], ctx.session()), line);
            };
            return s;
        }
        if (name == "NEW_LINE") {
            s->args = builtinArguments();
            s->fn = [](Context &ctx, std::vector<Datum> &) { outputPut(ctx.state.output, "", true); };
            return s;
        }
        if (name == "ENABLE") {
            s->args = builtinArguments();
            const bool given = !s->args.empty();
            s->fn = [given](Context &ctx, std::vector<Datum> &a) {
                outputEnable(ctx.state.output, given ? (isNull(a[0]) ? -1 : integerArgument(ctx, a[0])) : 20000);
            };
            return s;
        }
        if (name == "DISABLE") {
            s->args = builtinArguments();
            s->fn = [](Context &ctx, std::vector<Datum> &) { outputDisable(ctx.state.output); };
            return s;
        }
        if (name == "GET_LINE") {
            std::vector<TargetP> outs;
            s->args = builtinArguments(&outs, {true, true});
            if (outs.size() != 2) {
                wrongArguments(name);
                return s;
            }
            s->outArgs = {outs[0].get(), outs[1].get()};
            auto holder = std::make_shared<std::vector<TargetP>>(std::move(outs));
            s->fn = [holder](Context &ctx, std::vector<Datum> &a) {
                std::string line;
                bool got = outputGetLine(ctx.state.output, line);
                a.resize(2);
                a[0] = got && !line.empty() ? Datum(line) : Datum();
                a[1] = std::int64_t(got ? 0 : 1);
            };
            return s;
        }
        if (name == "GET_LINES") {
            // GET_LINES(lines OUT CHARARR, numlines IN OUT INTEGER): up to numlines lines.
            std::vector<TargetP> outs;
            builtinArguments(&outs, {true, true});
            if (outs.size() != 2 || !isOutputLines(outs[0]->type) || !outs[1]->type.isNumeric()) {
                wrongArguments(name);
                return s;
            }
            auto holder = std::make_shared<std::vector<TargetP>>(std::move(outs));
            s->fn = [holder](Context &ctx, std::vector<Datum> &) {
                Target &lines = *(*holder)[0];
                Target &count = *(*holder)[1];
                const std::int64_t wanted = integerArgument(ctx, count.eval(ctx));
                auto r = std::make_shared<Record>();
                r->type = lines.type.record;
                std::string line;
                while (std::int64_t(r->fields.size()) < wanted && outputGetLine(ctx.state.output, line))
                    r->fields.push_back(line.empty() ? Datum() : Datum(line));
                if (wanted <= 0)
                    ctx.state.output.readSinceWrite = true;
                count.assign(ctx, assignTo(count.type, std::int64_t(r->fields.size()), ctx.session()));
                lines.assign(ctx, Datum(std::move(r)));
            };
            return s;
        }
        errorPair(componentOffset, 302, "component '" + name + "' must be declared", "PL/SQL: Statement ignored",
                  statementOffset);
        skipCallArguments();
        return s;
    }
    return nullptr;
}

ExprP Compiler::builtinPackageFunction(const std::string &package, const std::string &name, int offset,
                                       int componentOffset) {
    if (package == "DBMS_OUTPUT") {
        if (isOutputProcedure(name))
            errorPair(offset, 222, "no function with name '" + name + "' exists in this scope",
                      "PL/SQL: Statement ignored", statementOffset);
        else
            errorPair(componentOffset, 302, "component '" + name + "' must be declared", "PL/SQL: Statement ignored",
                      statementOffset);
        skipCallArguments();
        return std::make_unique<Literal>();
    }
    if (package != "DBMS_UTILITY")
        return nullptr;
    auto f = std::make_unique<NativeFunction>();
    lineColumn(offset, f->line, f->column);
    f->type = PlType::text();
    if (name == "FORMAT_ERROR_STACK") {
        builtinArguments();
        f->fn = [](Context &ctx, const std::vector<Datum> &) -> Datum {
            if (!ctx.handling)
                return {};
            std::string s = ctx.handling->exception && ctx.handling->code == 1 ? messageOf(6510)
                                                                                  : ctx.handling->message;
            return s + "\n";
        };
    } else if (name == "FORMAT_ERROR_BACKTRACE") {
        builtinArguments();
        f->fn = [](Context &ctx, const std::vector<Datum> &) -> Datum {
            if (!ctx.handling)
                return {};
            std::string s;
            for (const auto &l : ctx.handling->stack)
                s += l + "\n";
            s += "ORA-06512: at ";
            if (ctx.frame->program && !ctx.frame->program->type.empty())
                s += "\"" + ctx.frame->program->qualified() + "\", ";
            return s + "line " + std::to_string(ctx.frame->line) + "\n";
        };
    } else if (name == "FORMAT_CALL_STACK") {
        builtinArguments();
        f->fn = [](Context &ctx, const std::vector<Datum> &) -> Datum {
            std::string s = "----- PL/SQL Call Stack -----\n  object      line  object\n  handle    number  name\n";
            for (Frame *fr = ctx.frame; fr; fr = fr->up) {
                char buf[128];
                std::string who = fr->program && !fr->program->type.empty()
                                      ? fr->program->type + " " + fr->program->qualified()
                                      : "anonymous block";
                std::snprintf(buf, sizeof buf, "0x0  %10d  %s\n", fr->line, who.c_str());
                s += buf;
            }
            return s;
        };
    } else if (name == "GET_TIME") {
        builtinArguments();
        f->type = PlType::number();
        f->fn = [](Context &, const std::vector<Datum> &) -> Datum {
            using namespace std::chrono;
            auto cs = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() / 10;
            return std::int64_t(cs % 2147483648LL);
        };
    } else {
        errorPair(componentOffset, 302, "component '" + name + "' must be declared", "PL/SQL: Statement ignored",
                  statementOffset);
        skipCallArguments();
        return std::make_unique<Literal>();
    }
    return f;
}

}  // namespace localdb::plsql
