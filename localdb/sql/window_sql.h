// Analytic functions, ordered-set aggregates and KEEP between the binder and the emitter.
#pragma once

#include "localdb/sql/ast.h"

#include <functional>
#include <string>

namespace localdb {

struct FunctionInfo;

// Visits the expressions of a call's window, WITHIN GROUP or KEEP ordering and frame offsets
// (walkers that check grouping or look for aggregates see them as part of the call).
void forEachWindowPart(const Expr &e, const std::function<void(const Expr &)> &visit);

// Whether the name is that of a function that exists only with OVER (ROW_NUMBER, LAG ...).
bool isWindowFunctionName(const std::string &name);

// The catalogue aggregate (STDDEV, MEDIAN ...) named, when it can run over a window.
const FunctionInfo *findWindowAggregate(const std::string &name);

// The SQL of a bound call with Analytic parts: the SQLite window or ordered aggregate call.
std::string emitAnalytic(const Expr &e);

}  // namespace localdb
