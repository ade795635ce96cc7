// Placeholder until the table access lands.
#include "tables/table_error.h"

namespace bx {

TableError errorFromErrno(int, const std::string& path) { return {kErrPathFileAccess, path}; }

}  // namespace bx
