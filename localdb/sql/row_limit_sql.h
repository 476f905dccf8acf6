// The row limiting clause (OFFSET / FETCH) in emitted SQL.
#pragma once

#include "localdb/sql/ast.h"

#include <string>
#include <vector>

namespace localdb {

// A query with its OFFSET / FETCH applied after its ORDER BY, as Oracle does.
std::string emitLimitedQuery(const Query &q, const std::vector<std::string> *forcedNames, bool storageOrder);

// A recursive WITH element (Query::recursiveName set) as WITH RECURSIVE.
std::string emitRecursiveQuery(const Query &q);

// A query without its row limiting clause; hiddenColumns ("" or ", expr AS name ...") are added
// to the select list of a single block, after the result columns.
std::string emitQueryRows(const Query &q, const std::vector<std::string> *forcedNames, bool storageOrder,
                          const std::string &hiddenColumns);

}  // namespace localdb
