// The PL/SQL runtime: a compiled program is a tree of nodes with every name already resolved to a
// frame slot, so running it never looks anything up. Statements return how control leaves them
// (normally, by EXIT, CONTINUE, RETURN or GOTO); Oracle errors travel as PlError exceptions.
#pragma once

#include "localdb/plsql/plsqlValue.h"
#include "localdb/sql/name_resolver.h"
#include "localdb/system/session_core.h"
#include "localdb/system/statement_cache.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace localdb::plsql {

struct Context;
struct CursorDecl;
class UnitCache;
struct CompiledBlock;
struct Program;
struct Subprogram;
struct PackageBody;

// An explicit cursor while it is open.
struct CursorState {
    bool open = false;
    std::shared_ptr<CompiledStatement> statement;
    Prepared prepared;
    bool found = false;
    bool fetched = false;  // a FETCH ran since OPEN
    std::int64_t rowCount = 0;
    void close();
};

// The variables of one running subprogram (or of a package instance), reached from nested
// subprograms through the static link.
struct Frame {
    std::vector<Datum> slots;
    std::vector<CursorState> cursors;
    Frame *up = nullptr;
    const Program *program = nullptr;  // for the error stack
    int line = 0;                      // line of the statement running
};

// A number as numeric expressions hand it to each other: no Datum is built, nothing allocated.
// Integers stay exact; other values are doubles, as in a Datum.
struct Numeric {
    enum Kind : std::uint8_t { Null, Integer, Real };
    Kind kind = Null;
    union {
        std::int64_t i = 0;
        double d;
    };
    static Numeric integer(std::int64_t v) {
        Numeric n;
        n.kind = Integer;
        n.i = v;
        return n;
    }
    static Numeric real(double v) {
        Numeric n;
        n.kind = Real;
        n.d = v;
        return n;
    }
    double toDouble() const { return kind == Integer ? double(i) : d; }
};

// A condition's value.
enum class Truth : std::uint8_t { False, True, Null };

struct Expr {
    virtual ~Expr() = default;
    virtual Datum eval(Context &ctx) const = 0;
    // The value as a number (text converted, ORA-06502 when it is none). Variables, literals and
    // arithmetic compute it directly; other nodes convert what eval() gives.
    virtual Numeric evalNumeric(Context &ctx) const;
    // The value as a condition; comparisons and logic compute it directly.
    virtual Truth evalTruth(Context &ctx) const;
    PlType type;
    int line = 0, column = 0;
};
using ExprP = std::unique_ptr<Expr>;

// An expression that can be assigned: a variable, a record field, a bind variable.
struct Target : Expr {
    virtual void assign(Context &ctx, Datum value) const = 0;
    virtual bool isReadOnly() const { return false; }
    // The storage of a plain variable, written in place by numeric assignments; null otherwise.
    virtual Datum *storage(Context &) const { return nullptr; }
};
using TargetP = std::unique_ptr<Target>;

enum class Flow { Normal, Exit, Continue, Return, Goto };

struct Stmt {
    virtual ~Stmt() = default;
    virtual Flow exec(Context &ctx) const = 0;
    int line = 0;
};
using StmtP = std::unique_ptr<Stmt>;

// A declared exception; user-defined ones are told apart by identity.
struct ExceptionDecl {
    std::string name;
    int code = 0;  // PRAGMA EXCEPTION_INIT code (positive ORA number), 0 when none
};

struct Param {
    std::string name;
    PlType type;
    int mode = 1;  // 1 IN, 2 OUT, 3 IN OUT
    ExprP defaultValue;
    std::string defaultText;
    int slot = 0;
};

struct Subprogram {
    std::string name;
    bool isFunction = false;
    PlType returnType;
    std::vector<Param> params;
    int level = 1;          // static nesting: 1 for a unit's or package's own subprograms
    int frameSize = 0;
    int cursorCount = 0;
    StmtP body;             // null until defined (forward declarations, package specs)
    const Program *program = nullptr;
    PackageBody *package = nullptr;  // the package whose state it reaches at level 0
    int line = 0;
    int subprogramId = 0;   // position in its package, for the dictionary
    int overload = 0;       // 1, 2 ... among package overloads; 0 when unique
    bool isPublic = true;
};

// A package's compiled state layout: its variables (spec then body), cursors, subprograms and
// initialisation.
struct PackageBody {
    std::string owner, name;
    int frameSize = 0;
    int cursorCount = 0;
    std::vector<std::pair<int, ExprP>> initialisers;  // slot := expression, in order
    std::vector<std::pair<int, PlType>> slotTypes;
    StmtP initialisation;   // the body's BEGIN ... END
    std::uint64_t stamp = 0;  // identifies this compilation (package state belongs to it)
    std::string specStamp;    // the package specification's last DDL: tells a new one from a new body
};

// What a compiled unit or block is, for error stacks: "SCOTT.PROC" or empty for a block.
struct Program {
    std::string owner, name, type;  // type: PROCEDURE, FUNCTION, PACKAGE, PACKAGE BODY, or "" (block)
    // A package specification compiled without its body: 4067 when the body does not exist, 4063
    // when it has errors (what a call of one of its subprograms raises).
    int bodyError = 0;
    std::string qualified() const { return owner + "." + name; }
};

// A unit as compiled for this session: what callers use.
struct CompiledUnit {
    Program program;
    std::int64_t objectId = 0;
    std::string lastDdl;  // the catalogue's LAST_DDL_TIME when compiled
    std::vector<std::unique_ptr<Subprogram>> subprograms;  // all, nested ones included
    std::vector<Subprogram *> publicSubprograms;            // standalone: the unit itself
    std::unique_ptr<PackageBody> package;                    // packages
    std::map<std::string, int> publicVariables;              // package spec variables -> slot
    std::map<std::string, PlType> publicVariableTypes;
    std::map<std::string, std::shared_ptr<ExceptionDecl>> publicExceptions;
    std::vector<std::shared_ptr<ExceptionDecl>> exceptions;  // keeps declared exceptions alive
    bool hasBody = false;                                    // PACKAGE: its body compiled in
    bool valid = true;
    std::vector<std::shared_ptr<CompiledUnit>> references;   // units it calls, kept alive
    std::vector<std::unique_ptr<CursorDecl>> cursors;
};

// DBMS_OUTPUT's buffer.
struct OutputBuffer {
    bool enabled = false;
    std::int64_t limit = 20000;  // bytes; 0: unlimited
    std::int64_t used = 0;
    std::deque<std::string> lines;
    std::string partial;
    bool partialOpen = false;
    bool readSinceWrite = false;
};

// The session's PL/SQL state.
struct SessionState {
    OutputBuffer output;
    std::map<std::string, std::shared_ptr<CompiledUnit>> units;  // "OWNER.NAME" (PACKAGE: with body)
    long long unitsSchemaVersion = -1;
    struct PackageInstance {
        std::uint64_t stamp = 0;
        std::string specStamp;
        std::unique_ptr<Frame> frame;
        bool initialised = false;
    };
    std::map<std::string, PackageInstance> packages;
    // Functions called from SQL: kdb_call's first argument indexes this list.
    struct CallTarget {
        std::string owner, package, name;
        int argumentCount = 0;
    };
    std::vector<CallTarget> callTargets;
    struct ResolvedTarget {
        long long schemaVersion = -1;
        std::shared_ptr<CompiledUnit> unit;
        const Subprogram *subprogram = nullptr;
    };
    std::vector<ResolvedTarget> resolvedTargets;
    std::shared_ptr<UnitCache> unitCache;
    std::map<std::string, std::shared_ptr<CompiledBlock>> blocks;
    std::shared_ptr<HostNames> sqlHost;
    std::map<std::string, int> callTargetIds;
    std::string lastErrorStack;   // DBMS_UTILITY.FORMAT_ERROR_STACK / BACKTRACE
    std::string lastBacktrace;
    int stackExtensions = 0;  // helper threads now carrying deep recursion
    int queryDepth = 0;     // > 0 while a function runs for a SQL statement
    bool blockSavepoint = false;
};

SessionState &stateOf(SessionCore &core);

// What a running program reads besides its frame.
struct Context {
    SessionCore &core;
    SessionState &state;
    Frame *frame = nullptr;
    std::vector<Bind> *binds = nullptr;
    int flowLabel = 0;          // EXIT/CONTINUE target (0: innermost loop), GOTO target
    const PlError *handling = nullptr;  // the exception a handler is running for
    Datum sqlRowCount;          // SQL%ROWCOUNT (null before the first statement)
    bool sqlFound = false;
    Datum returnValue;
    Context(SessionCore &c, SessionState &s) : core(c), state(s), progress(c.progress.get()) {}
    const SessionContext &session() const { return core.context; }
    // A loop turned, a GOTO went back or a call began. A cancel asked for from another thread is
    // seen at once; every few hundred ticks the session's progress handler gets its turn, so a
    // loop without SQL keeps the window answering as a long query does.
    void tick() {
        if (--ticksToPoll <= 0 || (progress && progress->cancelPending()))
            poll();
    }
    // The handler when due; ORA-01013 when the call is to stop.
    void poll();

private:
    // Often enough for a window to paint every few milliseconds; rare enough to cost nothing
    // next to the loop's own work.
    static constexpr int kTicksBetweenPolls = 256;
    ProgressWatch *progress;
    int ticksToPoll = kTicksBetweenPolls;
};

// Runs a subprogram with its arguments already evaluated; OUT values are written back into args.
Datum callSubprogram(Context &ctx, const Subprogram &sub, std::vector<Datum> &args, Frame *staticLink);
// The frame of a package instance in this session, initialised on first use.
Frame &packageFrame(Context &ctx, const PackageBody &package);

// Adds the frame's "ORA-06512: at ..." line to an error leaving it.
void traceError(PlError &e, const Frame &frame);
// The full text of an unhandled error as the caller sees it.
std::string errorStackText(const PlError &e);
// SQLCODE and SQLERRM of an error.
std::int64_t sqlCodeOf(const PlError &e);
std::string sqlErrmOf(const PlError &e);
// An Oracle error from SQL or the engine as a PL/SQL error.
PlError fromEngineError(const Error &e);

}  // namespace localdb::plsql
