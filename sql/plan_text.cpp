// Plan statements.
#include "sql/plan_text.h"

#include "sql/statement_text.h"

namespace worksheet {

std::string_view PlanDeleteStatement() { return "DELETE PLAN_TABLE WHERE STATEMENT_ID='KESTRIM'"; }

std::string ExplainStatement(std::string_view statement)
{
    std::string text = "EXPLAIN PLAN SET STATEMENT_ID='KESTRIM' INTO PLAN_TABLE FOR ";
    text += TrimBlanks(statement);
    return text;
}

std::string_view PlanQuery()
{
    return "SELECT DECODE(id,0,'',"
           "  LPAD(' ',2*(LEVEL-1))||level||'.'||position)||' '||"
           "  operation||' '||options||' '||object_name||' '||"
           "  object_type||' '||"
           "  DECODE(id,0,'Cost='||position) QUERY_PLAN "
           "FROM PLAN_TABLE "
           "  START WITH id=0 AND statement_id ='KESTRIM'"
           "  CONNECT BY PRIOR id=parent_id AND statement_id='KESTRIM'";
}

std::string_view CreatePlanTableStatement()
{
    return "create table PLAN_TABLE (\r\n"
           "\tstatement_id\tvarchar2(30),\r\n"
           "\ttimestamp\tdate,\r\n"
           "\tremarks\tvarchar2(80),\r\n"
           "\toperation\tvarchar2(30),\r\n"
           "\toptions\tvarchar2(30),\r\n"
           "\tobject_node\tvarchar2(128),\r\n"
           "\tobject_owner\tvarchar2(30),\r\n"
           "\tobject_name\tvarchar2(30),\r\n"
           "\tobject_instance\tnumeric,\r\n"
           "\tobject_type\tvarchar2(30),\r\n"
           "\toptimizer\tvarchar2(255),\r\n"
           "\tsearch_columns\tnumber,\r\n"
           "\tid\tnumeric,\r\n"
           "\tparent_id\tnumeric,\r\n"
           "\tposition\tnumeric,\r\n"
           "\tcost\tnumeric,\r\n"
           "\tcardinality\tnumeric,\r\n"
           "\tbytes\tnumeric,\r\n"
           "\tother_tag\tvarchar2(255),\r\n"
           "\tpartition_start\tvarchar2(255),\r\n"
           "\tpartition_stop\tvarchar2(255),\r\n"
           "\tpartition_id\tnumeric,\r\n"
           "\tother\tlong)";
}

std::string_view DropPlanTableStatement() { return "drop table PLAN_TABLE "; }

const char *const *PlanWords()
{
    static const char *const words[] = {
        "ACCESS", "AGGREGATE", "BY", "CLUSTER", "CONCATINATION", "CONNECTED", "COUNTING",
        "DESCENDING", "FILTER", "FULL", "GROUP", "HASH", "INDEX", "INTERSECTION", "JOIN",
        "LOOPS", "MERGE", "MINUS", "NESTED", "ORDER", "OUTER", "PROJECTION", "RANGE", "REMOTE",
        "ROW", "ROWID", "SCAN", "SEQUENCE", "SORT", "UNION", "UNIQUE", "UPDATE", nullptr};
    return words;
}

} // namespace worksheet
