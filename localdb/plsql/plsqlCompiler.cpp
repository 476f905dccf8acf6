// The compiler's token access, error recording, scopes and the drivers for blocks and units.
#include "localdb/plsql/plsqlCompilerImpl.h"

#include "localdb/system/errors.h"
#include "localdb/functions/utf8_text.h"

#include <algorithm>

namespace localdb::plsql {

const char *const kExpectStatement =
    "( begin case declare end exception exit for goto if loop mod\n"
    "   null pragma raise return select update while with\n"
    "   <an identifier> <a double-quoted delimited-identifier>\n"
    "   <a bind variable> << continue close current delete fetch lock\n"
    "   insert open rollback savepoint set sql execute commit forall\n"
    "   merge pipe purge";
const char *const kExpectDeclaration =
    "begin function pragma procedure subtype type <an identifier>\n"
    "   <a double-quoted delimited-identifier> current cursor delete\n"
    "   exists prior";
// In a package specification, END takes BEGIN's place.
const char *const kExpectSpecDeclaration =
    "end function pragma procedure subtype type <an identifier>\n"
    "   <a double-quoted delimited-identifier> current cursor delete\n"
    "   exists prior";
const char *const kExpectStatementEnd = ":= . ( % ;";
const char *const kExpectExpression =
    "( - + case mod new not null <an identifier>\n"
    "   <a double-quoted delimited-identifier> <a bind variable>\n"
    "   continue avg count current exists max min prior sql stddev\n"
    "   sum variance execute forall merge time timestamp interval\n"
    "   date <a string literal with character set specification>\n"
    "   <a number> <a single-quoted SQL string> pipe";

Compiler::Compiler(SessionCore &c, const std::string &text, const UnitLookup &lookup, CompileOutput &o)
    : core(c), lookupUnit(lookup), out(o), text_(text) {
    lineStarts_.push_back(0);
    for (size_t i = 0; i < text_.size(); ++i)
        if (text_[i] == '\n')
            lineStarts_.push_back(int(i + 1));
    try {
        tokens_ = tokenize(text_);
    } catch (const Error &e) {
        int at = e.position() < 0 ? 0 : e.position();
        int line, column;
        lineColumn(at, line, column);
        out.errors.push_back({line, column, std::string("PLS-00103: ") + e.what(), 103});
        tokens_.clear();
        Token end;
        end.offset = int(text_.size());
        tokens_.push_back(end);
    }
}

const Token &Compiler::peek(int ahead) const {
    size_t i = pos_ + size_t(ahead);
    return i < tokens_.size() ? tokens_[i] : tokens_.back();
}

const Token &Compiler::advance() {
    const Token &t = peek();
    if (pos_ + 1 < tokens_.size())
        ++pos_;
    return t;
}

bool Compiler::acceptWord(std::string_view w) {
    if (!isWord(w))
        return false;
    advance();
    return true;
}

bool Compiler::acceptOp(std::string_view op) {
    if (!isOp(op))
        return false;
    advance();
    return true;
}

void Compiler::expectWord(std::string_view w, const char *expecting) {
    if (!acceptWord(w)) {
        std::string lower(w);
        for (char &ch : lower)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        syntaxError(expecting ? expecting : lower.c_str());
    }
}

void Compiler::expectOp(std::string_view op, const char *expecting) {
    if (acceptOp(op))
        return;
    std::string o(op);
    if (op == ";" && !atEnd()) {
        // As Oracle does, a missing ";" is reported and taken as written, and parsing goes on.
        try {
            syntaxError(expecting ? expecting : ";", ";");
        } catch (const SyntaxError &) {
        }
        return;
    }
    syntaxError(expecting ? expecting : o.c_str());
}

std::string Compiler::identifier(const char *expecting) {
    const Token &t = peek();
    if (t.kind == TokenKind::Identifier || t.kind == TokenKind::QuotedIdentifier) {
        if (t.text.size() > 128)
            error(t.offset, 114, "identifier '" + t.text + "' too long");
        advance();
        return t.text;
    }
    syntaxError(expecting ? expecting : "<an identifier> <a double-quoted delimited-identifier>");
}

void Compiler::lineColumn(int offset, int &line, int &column) const {
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    size_t index = size_t(it - lineStarts_.begin()) - 1;
    line = int(index) + 1;
    const int start = lineStarts_[index];
    std::string_view piece(text_.data() + start, size_t(std::max(0, offset - start)));
    column = int(functions::utf8::charCount(piece)) + 1;
}

int Compiler::lineOf(int offset) const {
    int line, column;
    lineColumn(offset, line, column);
    return line;
}

void Compiler::error(int offset, int number, const std::string &text) {
    int line, column;
    lineColumn(offset, line, column);
    char code[16];
    std::snprintf(code, sizeof code, "PLS-%05d: ", number);
    out.errors.push_back({line, column, code + text, number});
}

namespace {
// Deeper nesting is refused: Oracle takes blocks nested 255 deep (two levels each here), and
// every level costs native stack in the compiler and in the runtime.
constexpr int kMaxNesting = 520;
constexpr int kMaxOperands = 10000;
}  // namespace

Compiler::Nesting::Nesting(Compiler &c, int offset) : c_(c) {
    if (++c_.nesting_ > kMaxNesting) {
        --c_.nesting_;
        c_.error(offset, 123, "program too large (Diana nodes)");
        throw NestingTooDeep{};
    }
}

void Compiler::countOperand(int &operands, int offset) {
    if (++operands > kMaxOperands) {
        error(offset, 123, "program too large (Diana nodes)");
        throw NestingTooDeep{};
    }
}

void Compiler::errorPair(int offset, int number, const std::string &text, const char *companion,
                         int companionOffset) {
    error(offset, number, text);
    int line, column;
    lineColumn(companionOffset, line, column);
    out.errors.push_back({line, column, companion, 0});
}

void Compiler::syntaxError(const char *expecting, const char *substituted) {
    const Token &t = peek();
    std::string symbol;
    switch (t.kind) {
    case TokenKind::End:
        symbol = "end-of-file";
        break;
    case TokenKind::String:
        symbol = t.text;
        break;
    case TokenKind::Bind:
        symbol = ":" + t.text;
        break;
    default:
        symbol = t.text;
    }
    std::string text = "Encountered the symbol \"" + symbol + "\" when expecting one of the following:\n\n   " +
                       expecting;
    if (substituted && t.kind != TokenKind::End)
        text += "\nThe symbol \"" + std::string(substituted) + "\" was substituted for \"" + symbol +
                "\" to continue.";
    int offset = t.offset;
    if (t.kind == TokenKind::End) {
        // The text ends once: every construct still open there is the same error.
        if (endReported_)
            throw SyntaxError{};
        endReported_ = true;
        // Oracle points just after the last character of the text.
        offset = int(text_.size());
        while (offset > 0 && (text_[size_t(offset - 1)] == '\n' || text_[size_t(offset - 1)] == '\r' ||
                              text_[size_t(offset - 1)] == ' '))
            --offset;
    }
    error(offset, 103, text);
    throw SyntaxError{};
}

void Compiler::skipToSemicolon() {
    while (!atEnd() && !isOp(";"))
        advance();
    acceptOp(";");
}

void Compiler::pushScope() {
    scopes_.push_back(std::make_unique<Scope>());
    scopes_.back()->parent = scope;
    scope = scopes_.back().get();
}

void Compiler::popScope() { scope = scope->parent; }

Symbol *Compiler::lookup(const std::string &name) {
    for (Scope *s = scope; s; s = s->parent) {
        auto it = s->symbols.find(name);
        if (it != s->symbols.end())
            return &it->second;
    }
    return nullptr;
}

Symbol &Compiler::declare(const std::string &name, int offset, Symbol symbol) {
    auto it = scope->symbols.find(name);
    if (it != scope->symbols.end()) {
        if (!(it->second.kind == Symbol::Subprograms && symbol.kind == Symbol::Subprograms))
            error(offset, 371, "at most one declaration for '" + name + "' is permitted");
        it->second = std::move(symbol);
        return it->second;
    }
    return scope->symbols.emplace(name, std::move(symbol)).first->second;
}

int Compiler::newSlot(const PlType &type) {
    int slot = frame->slots++;
    if (frame->slotTypes)
        frame->slotTypes->push_back({slot, type});
    return slot;
}

namespace {

void resolveGotos(Compiler &c) {
    for (auto &[stmt, target] : c.gotos) {
        auto it = c.labels.find(target.first);
        if (it == c.labels.end())
            c.error(target.second, 201, "identifier '" + target.first + "' must be declared");
        else
            stmt->label = it->second;
    }
}

}  // namespace

namespace {

// Oracle analyses a unit only once it parses: with syntax errors, those are all it reports.
void syntaxErrorsFirst(std::vector<CompileError> &errors) {
    auto syntactic = [](const CompileError &e) {
        return e.messageNumber == 103 || e.messageNumber == 113 || e.messageNumber == 114 || e.messageNumber == 123;
    };
    if (std::any_of(errors.begin(), errors.end(), [&](const CompileError &e) { return e.messageNumber == 103; }))
        errors.erase(std::remove_if(errors.begin(), errors.end(), [&](const CompileError &e) { return !syntactic(e); }),
                     errors.end());
}

}  // namespace

std::unique_ptr<CompiledBlock> compileBlock(SessionCore &core, const std::string &text, const UnitLookup &lookup,
                                            CompileOutput &out) {
    auto block = std::make_unique<CompiledBlock>();
    Compiler c(core, text, lookup, out);
    if (!out.errors.empty())
        return block;
    block->main = std::make_unique<Subprogram>();
    block->main->program = &block->program;
    FrameLayout layout;
    layout.owner = block->main.get();
    c.frame = &layout;
    c.program = &block->program;
    c.pushScope();
    try {
        std::string label;
        if (c.isOp("<") && c.isOp("<", 1)) {
            c.advance();
            c.advance();
            label = c.identifier();
            c.expectOp(">");
            c.expectOp(">");
        }
        block->main->body = c.nestedBlock(label);
        c.acceptOp(";");
        if (!c.atEnd())
            c.syntaxError("end-of-file");
    } catch (const SyntaxError &) {
    }
    resolveGotos(c);
    block->main->frameSize = layout.slots;
    block->main->cursorCount = layout.cursors;
    block->subprograms = std::move(c.subprograms);
    block->exceptions = std::move(c.exceptions);
    block->references = out.references;
    block->cursors = std::move(out.cursors);
    syntaxErrorsFirst(out.errors);
    return block;
}

bool unitHeader(const std::string &text, std::string &type, std::string &name, int &nameOffset) {
    std::vector<Token> t;
    try {
        t = tokenize(text.substr(0, std::min<size_t>(text.size(), 2000)));
    } catch (const Error &) {
        return false;
    }
    size_t i = 0;
    auto word = [&](std::string_view w) { return i < t.size() && t[i].isWord(w); };
    if (word("PACKAGE") && i + 1 < t.size() && t[i + 1].isWord("BODY")) {
        type = "PACKAGE BODY";
        i += 2;
    } else if (word("PACKAGE") || word("PROCEDURE") || word("FUNCTION")) {
        type = t[i].text;
        ++i;
    } else {
        return false;
    }
    if (i >= t.size() || (t[i].kind != TokenKind::Identifier && t[i].kind != TokenKind::QuotedIdentifier))
        return false;
    name = t[i].text;
    nameOffset = t[i].offset;
    // OWNER.NAME
    if (i + 2 < t.size() && t[i + 1].isOperator(".") &&
        (t[i + 2].kind == TokenKind::Identifier || t[i + 2].kind == TokenKind::QuotedIdentifier)) {
        name = t[i + 2].text;
        nameOffset = t[i + 2].offset;
    }
    return true;
}

namespace {

std::shared_ptr<CompiledUnit> compileUnitText(SessionCore &core, const std::string &owner, const std::string &text,
                                              const std::string &specText, const UnitLookup &lookup,
                                              CompileOutput &out);

}  // namespace

std::shared_ptr<CompiledUnit> compileUnit(SessionCore &core, const std::string &owner, const std::string &text,
                                          const std::string &specText, const UnitLookup &lookup,
                                          CompileOutput &out) {
    auto unit = compileUnitText(core, owner, text, specText, lookup, out);
    syntaxErrorsFirst(out.errors);
    return unit;
}

namespace {

std::shared_ptr<CompiledUnit> compileUnitText(SessionCore &core, const std::string &owner, const std::string &text,
                                              const std::string &specText, const UnitLookup &lookup,
                                              CompileOutput &out) {
    auto unit = std::make_shared<CompiledUnit>();
    std::string type, name;
    int nameOffset = 0;
    if (!unitHeader(text, type, name, nameOffset))
        return unit;
    unit->program = {owner, name, type};
    out.unitName = name;
    out.unitType = type;
    // A package body is compiled together with its package specification, whose symbols it sees.
    if (type == "PACKAGE BODY") {
        unit->program.type = "PACKAGE BODY";
        CompileOutput specOut;
        Compiler spec(core, specText, lookup, specOut);
        Compiler c(core, text, lookup, out);
        unit->package = std::make_unique<PackageBody>();
        unit->package->owner = owner;
        unit->package->name = name;
        FrameLayout layout;
        layout.level = 0;
        layout.slotTypes = &unit->package->slotTypes;
        Program specProgram{owner, name, "PACKAGE"};
        for (Compiler *x : {&spec, &c}) {
            x->frame = &layout;
            x->package = unit->package.get();
            x->unit = unit.get();
        }
        spec.program = &unit->program;
        (void)specProgram;
        c.program = &unit->program;
        spec.pushScope();
        try {
            spec.packageSpec(*unit);
        } catch (const SyntaxError &) {
        }
        // The body's scope continues the package specification's.
        c.pushScope();
        for (auto &[k, v] : spec.scope->symbols)
            c.scope->symbols.emplace(k, v);
        try {
            c.packageBody(*unit);
        } catch (const SyntaxError &) {
        }
        resolveGotos(c);
        unit->package->frameSize = layout.slots;
        unit->package->cursorCount = layout.cursors;
        for (auto &s : spec.subprograms)
            unit->subprograms.push_back(std::move(s));
        for (auto &s : c.subprograms)
            unit->subprograms.push_back(std::move(s));
        unit->exceptions = spec.exceptions;
        unit->exceptions.insert(unit->exceptions.end(), c.exceptions.begin(), c.exceptions.end());
        // Reported where the package specification declares the subprogram, under the body's name.
        for (auto &s : unit->subprograms)
            if (s->level == 1 && s->isPublic && !s->body) {
                CompileError e{1, 1,
                               "PLS-00323: subprogram or cursor '" + s->name +
                                   "' is declared in a package specification and must be defined in the package body",
                               323};
                if (auto at = spec.declaredAt.find(s.get()); at != spec.declaredAt.end())
                    spec.lineColumn(at->second, e.line, e.column);
                out.errors.push_back(e);
            }
        unit->hasBody = true;
        for (auto &cd : specOut.cursors)
            out.cursors.push_back(std::move(cd));
        for (auto &r : specOut.references)
            out.references.push_back(r);
        return unit;
    }
    Compiler c(core, text, lookup, out);
    c.program = &unit->program;
    c.unit = unit.get();
    if (!out.errors.empty())
        return unit;
    if (type == "PACKAGE") {
        unit->package = std::make_unique<PackageBody>();
        unit->package->owner = owner;
        unit->package->name = name;
        FrameLayout layout;
        layout.level = 0;
        layout.slotTypes = &unit->package->slotTypes;
        c.frame = &layout;
        c.package = unit->package.get();
        c.pushScope();
        try {
            c.packageSpec(*unit);
        } catch (const SyntaxError &) {
        }
        unit->package->frameSize = layout.slots;
        unit->package->cursorCount = layout.cursors;
        unit->subprograms = std::move(c.subprograms);
        unit->exceptions = std::move(c.exceptions);
        return unit;
    }
    FrameLayout top;
    top.level = 0;
    c.frame = &top;
    c.pushScope();
    try {
        Subprogram *s = c.subprogram(false);
        if (s) {
            unit->publicSubprograms.push_back(s);
            c.acceptOp(";");
            if (!c.atEnd())
                c.syntaxError("end-of-file");
        }
    } catch (const SyntaxError &) {
    }
    resolveGotos(c);
    unit->subprograms = std::move(c.subprograms);
    unit->exceptions = std::move(c.exceptions);
    return unit;
}

}  // namespace

}  // namespace localdb::plsql
