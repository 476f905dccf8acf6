// Dictionary view definitions. Each family (TABLES, TAB_COLUMNS ...) is written once; its USER_,
// ALL_ and DBA_ views differ only in the owner filter and the leading OWNER column.
#include "localdb/catalog/dictionary.h"

#include "localdb/catalog/catalog.h"
#include "localdb/system/connection.h"
#include "localdb/plsql/plsql.h"

#include <string>
#include <vector>

namespace localdb {
namespace {

struct ViewColumn {
    const char *name;
    const char *type;  // dictionary type text: NUMBER, VARCHAR2(30), DATE, LONG, CHAR(1)
    const char *expr;  // SQL over the FROM clause of the view
};

struct Family {
    const char *suffix;               // TABLES -> USER_TABLES, ALL_TABLES, DBA_TABLES
    const char *ownerColumn;          // OWNER, SEQUENCE_OWNER, INDEX_OWNER
    const char *ownerExpr;            // owner of each row
    const char *nameExpr;             // object the row belongs to, for ALL_ visibility
    bool userHasOwner;                // USER_CONSTRAINTS keeps OWNER
    std::vector<ViewColumn> columns;
    const char *from;                 // FROM ... WHERE ... (the owner filter is ANDed to it)
    const char *orderBy;              // "" or ORDER BY ...
};

const char *const kTableFrom = "FROM kdb_objects o WHERE o.object_type = 'TABLE'";

std::vector<Family> families() {
    return {
        {"TABLES", "OWNER", "o.owner", "o.object_name", false,
         {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"},
          {"TABLESPACE_NAME", "VARCHAR2(30)", "CASE o.owner WHEN 'SYS' THEN 'SYSTEM' ELSE 'USERS' END"},
          {"CLUSTER_NAME", "VARCHAR2(30)", "NULL"},
          {"IOT_NAME", "VARCHAR2(30)", "NULL"},
          {"PCT_FREE", "NUMBER", "10"},
          {"PCT_USED", "NUMBER", "40"},
          {"INI_TRANS", "NUMBER", "1"},
          {"MAX_TRANS", "NUMBER", "255"},
          {"INITIAL_EXTENT", "NUMBER", "65536"},
          {"NEXT_EXTENT", "NUMBER", "NULL"},
          {"MIN_EXTENTS", "NUMBER", "1"},
          {"MAX_EXTENTS", "NUMBER", "2147483645"},
          {"PCT_INCREASE", "NUMBER", "NULL"},
          {"FREELISTS", "NUMBER", "1"},
          {"FREELIST_GROUPS", "NUMBER", "1"},
          {"LOGGING", "VARCHAR2(3)", "'YES'"},
          {"BACKED_UP", "VARCHAR2(1)", "'N'"},
          {"NUM_ROWS", "NUMBER", "NULL"},
          {"BLOCKS", "NUMBER", "NULL"},
          {"EMPTY_BLOCKS", "NUMBER", "NULL"},
          {"AVG_SPACE", "NUMBER", "NULL"},
          {"CHAIN_CNT", "NUMBER", "NULL"},
          {"AVG_ROW_LEN", "NUMBER", "NULL"},
          {"SAMPLE_SIZE", "NUMBER", "NULL"},
          {"LAST_ANALYZED", "DATE", "NULL"},
          {"DEGREE", "VARCHAR2(10)", "'         1'"},
          {"INSTANCES", "VARCHAR2(10)", "'         1'"},
          {"CACHE", "VARCHAR2(5)", "'    N'"},
          {"TABLE_LOCK", "VARCHAR2(8)", "'ENABLED'"},
          {"PARTITIONED", "VARCHAR2(3)", "'NO'"},
          {"IOT_TYPE", "VARCHAR2(12)", "NULL"},
          {"TEMPORARY", "VARCHAR2(1)", "o.temporary"},
          {"SECONDARY", "VARCHAR2(1)", "'N'"},
          {"NESTED", "VARCHAR2(3)", "'NO'"},
          {"BUFFER_POOL", "VARCHAR2(7)", "'DEFAULT'"},
          {"ROW_MOVEMENT", "VARCHAR2(8)", "'DISABLED'"},
          {"GLOBAL_STATS", "VARCHAR2(3)", "'NO'"},
          {"USER_STATS", "VARCHAR2(3)", "'NO'"},
          {"DURATION", "VARCHAR2(15)", "NULL"},
          {"SKIP_CORRUPT", "VARCHAR2(8)", "'DISABLED'"},
          {"MONITORING", "VARCHAR2(3)", "'NO'"},
          {"CLUSTER_OWNER", "VARCHAR2(30)", "NULL"},
          {"DEPENDENCIES", "VARCHAR2(8)", "'DISABLED'"},
          {"COMPRESSION", "VARCHAR2(8)", "'DISABLED'"},
          {"DROPPED", "VARCHAR2(3)", "'NO'"}},
         kTableFrom, ""},
        {"TAB_COLUMNS", "OWNER", "o.owner", "o.object_name", false,
         {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"},
          {"COLUMN_NAME", "VARCHAR2(30)", "c.column_name"},
          {"DATA_TYPE", "VARCHAR2(106)", "c.data_type"},
          {"DATA_TYPE_MOD", "VARCHAR2(3)", "NULL"},
          {"DATA_TYPE_OWNER", "VARCHAR2(30)", "NULL"},
          // A length in characters takes up to two bytes each in the database character set.
          {"DATA_LENGTH", "NUMBER", "CASE WHEN c.char_used = 'C' THEN min(4000, c.data_length * 2) ELSE c.data_length END"},
          {"DATA_PRECISION", "NUMBER", "c.data_precision"},
          {"DATA_SCALE", "NUMBER", "c.data_scale"},
          {"NULLABLE", "VARCHAR2(1)", "c.nullable"},
          {"COLUMN_ID", "NUMBER", "c.column_id"},
          {"DEFAULT_LENGTH", "NUMBER", "length(c.data_default)"},
          {"DATA_DEFAULT", "LONG", "c.data_default"},
          {"NUM_DISTINCT", "NUMBER", "NULL"},
          {"LOW_VALUE", "RAW(32)", "NULL"},
          {"HIGH_VALUE", "RAW(32)", "NULL"},
          {"DENSITY", "NUMBER", "NULL"},
          {"NUM_NULLS", "NUMBER", "NULL"},
          {"NUM_BUCKETS", "NUMBER", "NULL"},
          {"LAST_ANALYZED", "DATE", "NULL"},
          {"SAMPLE_SIZE", "NUMBER", "NULL"},
          {"CHARACTER_SET_NAME", "VARCHAR2(44)", "CASE WHEN c.char_used IS NOT NULL THEN 'CHAR_CS' END"},
          {"CHAR_COL_DECL_LENGTH", "NUMBER", "CASE WHEN c.char_used IS NOT NULL THEN c.data_length END"},
          {"GLOBAL_STATS", "VARCHAR2(3)", "'NO'"},
          {"USER_STATS", "VARCHAR2(3)", "'NO'"},
          {"AVG_COL_LEN", "NUMBER", "NULL"},
          {"CHAR_LENGTH", "NUMBER", "CASE WHEN c.char_used IS NOT NULL THEN c.data_length ELSE 0 END"},
          {"CHAR_USED", "VARCHAR2(1)", "c.char_used"},
          {"V80_FMT_IMAGE", "VARCHAR2(3)", "'NO'"},
          {"DATA_UPGRADED", "VARCHAR2(3)", "'YES'"},
          {"HISTOGRAM", "VARCHAR2(15)", "'NONE'"},
          {"DEFAULT_ON_NULL", "VARCHAR2(3)", "CASE WHEN x.default_on_null = 'Y' THEN 'YES' ELSE 'NO' END"},
          {"IDENTITY_COLUMN", "VARCHAR2(3)", "CASE WHEN x.identity <> '' THEN 'YES' ELSE 'NO' END"}},
         "FROM kdb_columns c JOIN kdb_objects o ON o.object_id = c.object_id LEFT JOIN kdb_column_extras x ON "
         "x.object_id = c.object_id AND x.column_name = c.column_name WHERE o.object_type IN ('TABLE', 'VIEW')",
         ""},
        {"TAB_IDENTITY_COLS", "OWNER", "o.owner", "o.object_name", false,
         {{"TABLE_NAME", "VARCHAR2(128)", "o.object_name"},
          {"COLUMN_NAME", "VARCHAR2(128)", "x.column_name"},
          {"GENERATION_TYPE", "VARCHAR2(10)", "x.identity"},
          {"SEQUENCE_NAME", "VARCHAR2(128)", "so.object_name"},
          {"IDENTITY_OPTIONS", "VARCHAR2(298)",
           "'START WITH: ' || x.identity_start || ', INCREMENT BY: ' || s.increment_by || ', MAX_VALUE: ' || "
           "s.max_value_text || ', MIN_VALUE: ' || s.min_value || ', CYCLE_FLAG: ' || s.cycle_flag || "
           "', CACHE_SIZE: ' || s.cache_size || ', ORDER_FLAG: ' || s.order_flag"}},
         "FROM kdb_column_extras x JOIN kdb_objects o ON o.object_id = x.object_id JOIN kdb_objects so ON "
         "so.object_id = x.sequence_id JOIN kdb_identity_options s ON s.object_id = x.sequence_id "
         "WHERE x.identity <> ''",
         ""},
        {"CONSTRAINTS", "OWNER", "k.owner", "o.object_name", true,
         {{"CONSTRAINT_NAME", "VARCHAR2(30)", "k.constraint_name"},
          {"CONSTRAINT_TYPE", "VARCHAR2(1)", "k.constraint_type"},
          {"TABLE_NAME", "VARCHAR2(30)", "o.object_name"},
          {"SEARCH_CONDITION", "LONG", "k.search_condition"},
          {"R_OWNER", "VARCHAR2(30)", "k.r_owner"},
          {"R_CONSTRAINT_NAME", "VARCHAR2(30)", "k.r_constraint_name"},
          {"DELETE_RULE", "VARCHAR2(9)", "k.delete_rule"},
          {"STATUS", "VARCHAR2(8)", "k.status"},
          {"DEFERRABLE", "VARCHAR2(14)", "'NOT DEFERRABLE'"},
          {"DEFERRED", "VARCHAR2(9)", "'IMMEDIATE'"},
          {"VALIDATED", "VARCHAR2(13)", "CASE k.status WHEN 'ENABLED' THEN 'VALIDATED' ELSE 'NOT VALIDATED' END"},
          {"GENERATED", "VARCHAR2(14)", "k.generated"},
          {"BAD", "VARCHAR2(3)", "NULL"},
          {"RELY", "VARCHAR2(4)", "NULL"},
          {"LAST_CHANGE", "DATE", "k.last_change"},
          {"INDEX_OWNER", "VARCHAR2(30)", "CASE WHEN k.index_name IS NOT NULL THEN k.owner END"},
          {"INDEX_NAME", "VARCHAR2(30)", "k.index_name"},
          {"INVALID", "VARCHAR2(7)", "NULL"},
          {"VIEW_RELATED", "VARCHAR2(14)", "NULL"}},
         "FROM kdb_constraints k JOIN kdb_objects o ON o.object_id = k.table_id WHERE 1", ""},
        {"CONS_COLUMNS", "OWNER", "cc.owner", "o.object_name", true,
         {{"CONSTRAINT_NAME", "VARCHAR2(30)", "cc.constraint_name"},
          {"TABLE_NAME", "VARCHAR2(30)", "o.object_name"},
          {"COLUMN_NAME", "VARCHAR2(4000)", "cc.column_name"},
          {"POSITION", "NUMBER", "cc.position"}},
         "FROM kdb_cons_columns cc JOIN kdb_constraints k ON k.owner = cc.owner AND "
         "k.constraint_name = cc.constraint_name JOIN kdb_objects o ON o.object_id = k.table_id WHERE 1",
         ""},
        {"INDEXES", "OWNER", "io.owner", "t.object_name", false,
         {{"INDEX_NAME", "VARCHAR2(30)", "io.object_name"},
          {"INDEX_TYPE", "VARCHAR2(27)", "'NORMAL'"},
          {"TABLE_OWNER", "VARCHAR2(30)", "t.owner"},
          {"TABLE_NAME", "VARCHAR2(30)", "t.object_name"},
          {"TABLE_TYPE", "VARCHAR2(11)", "'TABLE'"},
          {"UNIQUENESS", "VARCHAR2(9)", "x.uniqueness"},
          {"COMPRESSION", "VARCHAR2(8)", "'DISABLED'"},
          {"PREFIX_LENGTH", "NUMBER", "NULL"},
          {"TABLESPACE_NAME", "VARCHAR2(30)", "'USERS'"},
          {"INI_TRANS", "NUMBER", "2"},
          {"MAX_TRANS", "NUMBER", "255"},
          {"INITIAL_EXTENT", "NUMBER", "65536"},
          {"NEXT_EXTENT", "NUMBER", "NULL"},
          {"MIN_EXTENTS", "NUMBER", "1"},
          {"MAX_EXTENTS", "NUMBER", "2147483645"},
          {"PCT_INCREASE", "NUMBER", "NULL"},
          {"PCT_THRESHOLD", "NUMBER", "NULL"},
          {"INCLUDE_COLUMN", "NUMBER", "NULL"},
          {"FREELISTS", "NUMBER", "1"},
          {"FREELIST_GROUPS", "NUMBER", "1"},
          {"PCT_FREE", "NUMBER", "10"},
          {"LOGGING", "VARCHAR2(3)", "'YES'"},
          {"BLEVEL", "NUMBER", "NULL"},
          {"LEAF_BLOCKS", "NUMBER", "NULL"},
          {"DISTINCT_KEYS", "NUMBER", "NULL"},
          {"AVG_LEAF_BLOCKS_PER_KEY", "NUMBER", "NULL"},
          {"AVG_DATA_BLOCKS_PER_KEY", "NUMBER", "NULL"},
          {"CLUSTERING_FACTOR", "NUMBER", "NULL"},
          {"STATUS", "VARCHAR2(8)", "'VALID'"},
          {"NUM_ROWS", "NUMBER", "NULL"},
          {"SAMPLE_SIZE", "NUMBER", "NULL"},
          {"LAST_ANALYZED", "DATE", "NULL"},
          {"DEGREE", "VARCHAR2(40)", "'1'"},
          {"INSTANCES", "VARCHAR2(40)", "'1'"},
          {"PARTITIONED", "VARCHAR2(3)", "'NO'"},
          {"TEMPORARY", "VARCHAR2(1)", "'N'"},
          {"GENERATED", "VARCHAR2(1)", "io.generated"},
          {"SECONDARY", "VARCHAR2(1)", "'N'"},
          {"BUFFER_POOL", "VARCHAR2(7)", "'DEFAULT'"},
          {"USER_STATS", "VARCHAR2(3)", "'NO'"},
          {"DURATION", "VARCHAR2(15)", "NULL"},
          {"PCT_DIRECT_ACCESS", "NUMBER", "NULL"},
          {"ITYP_OWNER", "VARCHAR2(30)", "NULL"},
          {"ITYP_NAME", "VARCHAR2(30)", "NULL"},
          {"PARAMETERS", "VARCHAR2(1000)", "NULL"},
          {"GLOBAL_STATS", "VARCHAR2(3)", "'NO'"},
          {"DOMIDX_STATUS", "VARCHAR2(12)", "NULL"},
          {"DOMIDX_OPSTATUS", "VARCHAR2(6)", "NULL"},
          {"FUNCIDX_STATUS", "VARCHAR2(8)", "NULL"},
          {"JOIN_INDEX", "VARCHAR2(3)", "'NO'"}},
         "FROM kdb_indexes x JOIN kdb_objects io ON io.object_id = x.object_id "
         "JOIN kdb_objects t ON t.object_id = x.table_id WHERE 1",
         ""},
        {"IND_COLUMNS", "INDEX_OWNER", "io.owner", "t.object_name", false,
         {{"INDEX_NAME", "VARCHAR2(30)", "io.object_name"},
          {"TABLE_NAME", "VARCHAR2(30)", "t.object_name"},
          {"COLUMN_NAME", "VARCHAR2(4000)", "ic.column_name"},
          {"COLUMN_POSITION", "NUMBER", "ic.column_position"},
          {"COLUMN_LENGTH", "NUMBER", "(SELECT c.data_length FROM kdb_columns c WHERE c.object_id = t.object_id "
                                      "AND c.column_name = ic.column_name)"},
          {"CHAR_LENGTH", "NUMBER", "(SELECT CASE WHEN c.char_used IS NOT NULL THEN c.data_length ELSE 0 END "
                                    "FROM kdb_columns c WHERE c.object_id = t.object_id "
                                    "AND c.column_name = ic.column_name)"},
          {"DESCEND", "VARCHAR2(4)", "ic.descend"}},
         "FROM kdb_ind_columns ic JOIN kdb_indexes x ON x.object_id = ic.index_id "
         "JOIN kdb_objects io ON io.object_id = x.object_id JOIN kdb_objects t ON t.object_id = x.table_id WHERE 1",
         ""},
        {"TAB_COMMENTS", "OWNER", "o.owner", "o.object_name", false,
         {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"},
          {"TABLE_TYPE", "VARCHAR2(11)", "o.object_type"},
          {"COMMENTS", "VARCHAR2(4000)", "cm.comments"}},
         "FROM kdb_objects o LEFT JOIN kdb_comments cm ON cm.object_id = o.object_id AND cm.column_name = '' "
         "WHERE o.object_type IN ('TABLE', 'VIEW')",
         ""},
        {"COL_COMMENTS", "OWNER", "o.owner", "o.object_name", false,
         {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"},
          {"COLUMN_NAME", "VARCHAR2(30)", "c.column_name"},
          {"COMMENTS", "VARCHAR2(4000)", "cm.comments"}},
         "FROM kdb_columns c JOIN kdb_objects o ON o.object_id = c.object_id LEFT JOIN kdb_comments cm "
         "ON cm.object_id = c.object_id AND cm.column_name = c.column_name WHERE o.object_type IN ('TABLE', 'VIEW')",
         ""},
        {"OBJECTS", "OWNER", "o.owner", "o.object_name", false,
         {{"OBJECT_NAME", "VARCHAR2(128)", "o.object_name"},
          {"SUBOBJECT_NAME", "VARCHAR2(30)", "NULL"},
          {"OBJECT_ID", "NUMBER", "o.object_id"},
          {"DATA_OBJECT_ID", "NUMBER", "CASE WHEN o.object_type IN ('TABLE', 'INDEX') THEN o.object_id END"},
          {"OBJECT_TYPE", "VARCHAR2(18)", "o.object_type"},
          {"CREATED", "DATE", "o.created"},
          {"LAST_DDL_TIME", "DATE", "o.last_ddl_time"},
          {"TIMESTAMP", "VARCHAR2(19)", "substr(o.last_ddl_time, 1, 10) || ':' || substr(o.last_ddl_time, 12)"},
          {"STATUS", "VARCHAR2(7)", "o.status"},
          {"TEMPORARY", "VARCHAR2(1)", "o.temporary"},
          {"GENERATED", "VARCHAR2(1)", "o.generated"},
          {"SECONDARY", "VARCHAR2(1)", "'N'"}},
         "FROM kdb_objects o WHERE 1", ""},
        {"VIEWS", "OWNER", "o.owner", "o.object_name", false,
         {{"VIEW_NAME", "VARCHAR2(30)", "o.object_name"},
          {"TEXT_LENGTH", "NUMBER", "length(CAST(v.text AS BLOB))"},
          {"TEXT", "LONG", "v.text"},
          {"TYPE_TEXT_LENGTH", "NUMBER", "NULL"},
          {"TYPE_TEXT", "VARCHAR2(4000)", "NULL"},
          {"OID_TEXT_LENGTH", "NUMBER", "NULL"},
          {"OID_TEXT", "VARCHAR2(4000)", "NULL"},
          {"VIEW_TYPE_OWNER", "VARCHAR2(30)", "NULL"},
          {"VIEW_TYPE", "VARCHAR2(30)", "NULL"},
          {"SUPERVIEW_NAME", "VARCHAR2(30)", "NULL"}},
         "FROM kdb_views v JOIN kdb_objects o ON o.object_id = v.object_id WHERE 1", ""},
        {"SEQUENCES", "SEQUENCE_OWNER", "o.owner", "o.object_name", false,
         {{"SEQUENCE_NAME", "VARCHAR2(30)", "o.object_name"},
          {"MIN_VALUE", "NUMBER", "s.min_value"},
          {"MAX_VALUE", "NUMBER", "s.max_value"},
          {"INCREMENT_BY", "NUMBER", "s.increment_by"},
          {"CYCLE_FLAG", "VARCHAR2(1)", "s.cycle_flag"},
          {"ORDER_FLAG", "VARCHAR2(1)", "s.order_flag"},
          {"CACHE_SIZE", "NUMBER", "s.cache_size"},
          {"LAST_NUMBER", "NUMBER", "s.last_number"}},
         "FROM kdb_sequences s JOIN kdb_objects o ON o.object_id = s.object_id WHERE 1", ""},
        {"SYNONYMS", "OWNER", "o.owner", "o.object_name", false,
         {{"SYNONYM_NAME", "VARCHAR2(30)", "o.object_name"},
          {"TABLE_OWNER", "VARCHAR2(30)", "s.table_owner"},
          {"TABLE_NAME", "VARCHAR2(30)", "s.table_name"},
          {"DB_LINK", "VARCHAR2(128)", "s.db_link"}},
         "FROM kdb_synonyms s JOIN kdb_objects o ON o.object_id = s.object_id WHERE 1", ""},
        {"SOURCE", "OWNER", "o.owner", "o.object_name", false,
         {{"NAME", "VARCHAR2(30)", "o.object_name"},
          {"TYPE", "VARCHAR2(12)", "o.object_type"},
          {"LINE", "NUMBER", "s.line"},
          {"TEXT", "VARCHAR2(4000)", "s.text"}},
         "FROM kdb_source s JOIN kdb_objects o ON o.object_id = s.object_id WHERE 1", ""},
        {"ERRORS", "OWNER", "o.owner", "o.object_name", false,
         {{"NAME", "VARCHAR2(30)", "o.object_name"},
          {"TYPE", "VARCHAR2(12)", "o.object_type"},
          {"SEQUENCE", "NUMBER", "e.sequence"},
          {"LINE", "NUMBER", "e.line"},
          {"POSITION", "NUMBER", "e.position"},
          {"TEXT", "VARCHAR2(4000)", "e.text"},
          {"ATTRIBUTE", "VARCHAR2(9)", "e.attribute"},
          {"MESSAGE_NUMBER", "NUMBER", "e.message_number"}},
         "FROM kdb_errors e JOIN kdb_objects o ON o.object_id = e.object_id WHERE 1", ""},
        {"ARGUMENTS", "OWNER", "o.owner", "o.object_name", false,
         {{"OBJECT_NAME", "VARCHAR2(30)", "a.object_name"},
          {"PACKAGE_NAME", "VARCHAR2(30)", "a.package_name"},
          {"OBJECT_ID", "NUMBER", "a.object_id"},
          {"OVERLOAD", "VARCHAR2(40)", "a.overload"},
          {"SUBPROGRAM_ID", "NUMBER", "a.subprogram_id"},
          {"ARGUMENT_NAME", "VARCHAR2(30)", "a.argument_name"},
          {"POSITION", "NUMBER", "a.position"},
          {"SEQUENCE", "NUMBER", "a.sequence"},
          {"DATA_LEVEL", "NUMBER", "a.data_level"},
          {"DATA_TYPE", "VARCHAR2(30)", "a.data_type"},
          {"DEFAULTED", "VARCHAR2(1)", "a.defaulted"},
          {"DEFAULT_VALUE", "LONG", "NULL"},
          {"DEFAULT_LENGTH", "NUMBER", "NULL"},
          {"IN_OUT", "VARCHAR2(9)", "a.in_out"},
          {"DATA_LENGTH", "NUMBER", "CASE WHEN a.data_type = 'NUMBER' THEN 22 WHEN a.data_type = 'DATE' THEN 7 END"},
          {"DATA_PRECISION", "NUMBER", "NULL"},
          {"DATA_SCALE", "NUMBER", "NULL"},
          {"RADIX", "NUMBER", "CASE WHEN a.data_type IN ('NUMBER', 'BINARY_INTEGER') THEN 10 END"},
          {"CHARACTER_SET_NAME", "VARCHAR2(44)",
           "CASE WHEN a.data_type IN ('VARCHAR2', 'CHAR', 'CLOB') THEN 'CHAR_CS' END"},
          {"TYPE_OWNER", "VARCHAR2(30)", "NULL"},
          {"TYPE_NAME", "VARCHAR2(30)", "NULL"},
          {"TYPE_SUBNAME", "VARCHAR2(30)", "NULL"},
          {"TYPE_LINK", "VARCHAR2(128)", "NULL"},
          {"PLS_TYPE", "VARCHAR2(30)", "CASE WHEN a.data_type LIKE 'PL/SQL%' THEN NULL ELSE a.data_type END"},
          {"CHAR_LENGTH", "NUMBER", "0"},
          {"CHAR_USED", "VARCHAR2(1)", "NULL"}},
         "FROM kdb_arguments a JOIN kdb_objects o ON o.object_id = a.object_id WHERE 1", ""},
        {"PROCEDURES", "OWNER", "o.owner", "o.object_name", false,
         {{"OBJECT_NAME", "VARCHAR2(30)", "o.object_name"},
          {"PROCEDURE_NAME", "VARCHAR2(30)", "p.procedure_name"},
          {"OBJECT_ID", "NUMBER", "o.object_id"},
          {"SUBPROGRAM_ID", "NUMBER", "p.subprogram_id"},
          {"OVERLOAD", "VARCHAR2(40)", "p.overload"},
          {"OBJECT_TYPE", "VARCHAR2(19)", "o.object_type"},
          {"AGGREGATE", "VARCHAR2(3)", "'NO'"},
          {"PIPELINED", "VARCHAR2(3)", "'NO'"},
          {"IMPLTYPEOWNER", "VARCHAR2(30)", "NULL"},
          {"IMPLTYPENAME", "VARCHAR2(30)", "NULL"},
          {"PARALLEL", "VARCHAR2(3)", "'NO'"},
          {"INTERFACE", "VARCHAR2(3)", "'NO'"},
          {"DETERMINISTIC", "VARCHAR2(3)", "'NO'"},
          {"AUTHID", "VARCHAR2(12)", "'DEFINER'"}},
         "FROM kdb_procedures p JOIN kdb_objects o ON o.object_id = p.object_id WHERE 1", ""},
        {"DEPENDENCIES", "OWNER", "o.owner", "o.object_name", false,
         {{"NAME", "VARCHAR2(30)", "o.object_name"},
          {"TYPE", "VARCHAR2(17)", "o.object_type"},
          {"REFERENCED_OWNER", "VARCHAR2(30)", "d.referenced_owner"},
          {"REFERENCED_NAME", "VARCHAR2(64)", "d.referenced_name"},
          {"REFERENCED_TYPE", "VARCHAR2(17)", "d.referenced_type"},
          {"REFERENCED_LINK_NAME", "VARCHAR2(128)", "NULL"},
          {"DEPENDENCY_TYPE", "VARCHAR2(4)", "'HARD'"}},
         "FROM kdb_dependencies d JOIN kdb_objects o ON o.object_id = d.object_id WHERE 1", ""},
    };
}

// A view outside the families: its whole SELECT is written out.
struct SingleView {
    const char *name;
    std::vector<ViewColumn> columns;
    const char *from;
};

std::vector<SingleView> singleViews() {
    const char *catalog = "FROM kdb_objects o WHERE o.owner = kdb_user() AND o.object_type IN "
                          "('TABLE', 'VIEW', 'SYNONYM', 'SEQUENCE') ORDER BY o.object_name";
    return {
        {"USER_CATALOG", {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"}, {"TABLE_TYPE", "VARCHAR2(11)", "o.object_type"}},
         catalog},
        {"CAT", {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"}, {"TABLE_TYPE", "VARCHAR2(11)", "o.object_type"}},
         catalog},
        {"TAB",
         {{"TNAME", "VARCHAR2(30)", "o.object_name"},
          {"TABTYPE", "VARCHAR2(7)", "o.object_type"},
          {"CLUSTERID", "NUMBER", "NULL"}},
         "FROM kdb_objects o WHERE o.owner = kdb_user() AND o.object_type IN ('TABLE', 'VIEW', 'SYNONYM') "
         "ORDER BY o.object_name"},
        {"USER_USERS",
         {{"USERNAME", "VARCHAR2(30)", "u.username"},
          {"USER_ID", "NUMBER", "u.user_id"},
          {"ACCOUNT_STATUS", "VARCHAR2(32)", "u.account_status"},
          {"LOCK_DATE", "DATE", "NULL"},
          {"EXPIRY_DATE", "DATE", "NULL"},
          {"DEFAULT_TABLESPACE", "VARCHAR2(30)", "u.default_tablespace"},
          {"TEMPORARY_TABLESPACE", "VARCHAR2(30)", "u.temporary_tablespace"},
          {"CREATED", "DATE", "u.created"},
          {"INITIAL_RSRC_CONSUMER_GROUP", "VARCHAR2(30)", "NULL"},
          {"EXTERNAL_NAME", "VARCHAR2(4000)", "NULL"}},
         "FROM kdb_users u WHERE u.username = kdb_user()"},
        {"ALL_USERS",
         {{"USERNAME", "VARCHAR2(30)", "u.username"}, {"USER_ID", "NUMBER", "u.user_id"}, {"CREATED", "DATE", "u.created"}},
         "FROM kdb_users u WHERE u.is_role = 0"},
        {"DBA_USERS",
         {{"USERNAME", "VARCHAR2(30)", "u.username"},
          {"USER_ID", "NUMBER", "u.user_id"},
          {"PASSWORD", "VARCHAR2(30)", "NULL"},
          {"ACCOUNT_STATUS", "VARCHAR2(32)", "u.account_status"},
          {"LOCK_DATE", "DATE", "NULL"},
          {"EXPIRY_DATE", "DATE", "NULL"},
          {"DEFAULT_TABLESPACE", "VARCHAR2(30)", "u.default_tablespace"},
          {"TEMPORARY_TABLESPACE", "VARCHAR2(30)", "u.temporary_tablespace"},
          {"CREATED", "DATE", "u.created"},
          {"PROFILE", "VARCHAR2(30)", "'DEFAULT'"}},
         "FROM kdb_users u WHERE u.is_role = 0"},
        {"DICTIONARY",
         {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"}, {"COMMENTS", "VARCHAR2(4000)", "cm.comments"}},
         "FROM kdb_objects o LEFT JOIN kdb_comments cm ON cm.object_id = o.object_id AND cm.column_name = '' "
         "WHERE o.owner = 'SYS' AND o.object_type = 'VIEW' ORDER BY o.object_name"},
        {"DICT",
         {{"TABLE_NAME", "VARCHAR2(30)", "o.object_name"}, {"COMMENTS", "VARCHAR2(4000)", "cm.comments"}},
         "FROM kdb_objects o LEFT JOIN kdb_comments cm ON cm.object_id = o.object_id AND cm.column_name = '' "
         "WHERE o.owner = 'SYS' AND o.object_type = 'VIEW' ORDER BY o.object_name"},
        {"OBJ$",
         {{"OBJ#", "NUMBER", "o.object_id"},
          {"DATAOBJ#", "NUMBER", "CASE WHEN o.object_type IN ('TABLE', 'INDEX') THEN o.object_id END"},
          {"OWNER#", "NUMBER", "(SELECT u.user_id FROM kdb_users u WHERE u.username = o.owner)"},
          {"NAME", "VARCHAR2(30)", "o.object_name"},
          {"NAMESPACE", "NUMBER", "o.namespace"},
          {"SUBNAME", "VARCHAR2(30)", "NULL"},
          {"TYPE#", "NUMBER",
           "CASE o.object_type WHEN 'INDEX' THEN 1 WHEN 'TABLE' THEN 2 WHEN 'VIEW' THEN 4 WHEN 'SYNONYM' THEN 5 "
           "WHEN 'SEQUENCE' THEN 6 WHEN 'PROCEDURE' THEN 7 WHEN 'FUNCTION' THEN 8 WHEN 'PACKAGE' THEN 9 "
           "WHEN 'PACKAGE BODY' THEN 11 WHEN 'TRIGGER' THEN 12 ELSE 0 END"},
          {"CTIME", "DATE", "o.created"},
          {"MTIME", "DATE", "o.last_ddl_time"},
          {"STIME", "DATE", "o.last_ddl_time"},
          {"STATUS", "NUMBER", "CASE o.status WHEN 'VALID' THEN 1 ELSE 2 END"},
          {"REMOTEOWNER", "VARCHAR2(30)", "NULL"},
          {"LINKNAME", "VARCHAR2(128)", "NULL"},
          {"FLAGS", "NUMBER", "0"}},
         "FROM kdb_objects o"},
        {"USER_ROLE_PRIVS",
         {{"USERNAME", "VARCHAR2(30)", "r.grantee"},
          {"GRANTED_ROLE", "VARCHAR2(30)", "r.granted_role"},
          {"ADMIN_OPTION", "VARCHAR2(3)", "r.admin_option"},
          {"DEFAULT_ROLE", "VARCHAR2(3)", "'YES'"},
          {"OS_GRANTED", "VARCHAR2(3)", "'NO'"}},
         "FROM kdb_role_privs r WHERE r.grantee = kdb_user()"},
        {"USER_SYS_PRIVS",
         {{"USERNAME", "VARCHAR2(30)", "p.grantee"},
          {"PRIVILEGE", "VARCHAR2(40)", "p.privilege"},
          {"ADMIN_OPTION", "VARCHAR2(3)", "p.admin_option"}},
         "FROM kdb_sys_privs p WHERE p.grantee = kdb_user()"},
        {"USER_TAB_PRIVS",
         {{"GRANTEE", "VARCHAR2(30)", "p.grantee"},
          {"OWNER", "VARCHAR2(30)", "p.owner"},
          {"TABLE_NAME", "VARCHAR2(30)", "p.table_name"},
          {"GRANTOR", "VARCHAR2(30)", "p.grantor"},
          {"PRIVILEGE", "VARCHAR2(40)", "p.privilege"},
          {"GRANTABLE", "VARCHAR2(3)", "p.grantable"}},
         "FROM kdb_tab_privs p WHERE kdb_user() IN (p.grantee, p.owner, p.grantor)"},
    };
}

TypeSpec parseTypeText(const std::string &text) {
    TypeSpec s;
    size_t paren = text.find('(');
    s.name = text.substr(0, paren);
    int n = paren == std::string::npos ? 0 : std::stoi(text.substr(paren + 1));
    if (s.name == "NUMBER") {
        s.length = 22;
    } else if (s.name == "DATE") {
        s.length = 7;
    } else if (s.name == "LONG") {
        s.length = 0;
    } else {
        s.length = n;
    }
    return s;
}

// USER_TAB_COLS: the columns of USER_TAB_COLUMNS and those of hidden and virtual columns.
std::vector<Family> withColumnVariants(std::vector<Family> all) {
    for (size_t i = 0; i < all.size(); ++i) {
        if (std::string(all[i].suffix) != "TAB_COLUMNS")
            continue;
        Family cols = all[i];
        cols.suffix = "TAB_COLS";
        cols.columns.push_back({"HIDDEN_COLUMN", "VARCHAR2(3)", "'NO'"});
        cols.columns.push_back({"VIRTUAL_COLUMN", "VARCHAR2(3)", "CASE WHEN x.virtual = 'Y' THEN 'YES' ELSE 'NO' END"});
        cols.columns.push_back({"SEGMENT_COLUMN_ID", "NUMBER",
                                "CASE WHEN x.virtual = 'Y' THEN NULL ELSE c.column_id END"});
        cols.columns.push_back({"INTERNAL_COLUMN_ID", "NUMBER", "c.column_id"});
        cols.columns.push_back({"USER_GENERATED", "VARCHAR2(3)", "'YES'"});
        cols.columns.push_back({"QUALIFIED_COL_NAME", "VARCHAR2(4000)", "c.column_name"});
        all.push_back(cols);
        break;
    }
    return all;
}

struct Builder {
    Connection &db;
    std::int64_t addView(const std::string &name, const std::vector<ViewColumn> &columns, const std::string &ownerColumn,
                         const std::string &ownerExpr, const std::string &body) {
        std::string sql = "CREATE VIEW " + physicalName("SYS", name) + " AS SELECT ";
        std::vector<ColumnInfo> infos;
        bool first = true;
        auto add = [&](const std::string &col, const std::string &type, const std::string &expr) {
            if (!first)
                sql += ", ";
            first = false;
            sql += expr + " AS " + quoteIdent(col);
            ColumnInfo info;
            info.name = col;
            info.type = parseTypeText(type);
            infos.push_back(info);
        };
        if (!ownerColumn.empty())
            add(ownerColumn, "VARCHAR2(30)", ownerExpr);
        for (const auto &c : columns)
            add(c.name, c.type, c.expr);
        sql += " " + body;
        db.exec(sql);
        Catalog catalog(db);
        std::int64_t id = catalog.addObject("SYS", name, "VIEW");
        catalog.setColumns(id, infos);
        auto syn = db.prepare("INSERT INTO kdb_synonyms(object_id, table_owner, table_name) VALUES (?1, 'SYS', ?2)");
        if (name != "OBJ$") {
            std::int64_t synId = catalog.addObject("PUBLIC", name, "SYNONYM");
            bindAll(syn, synId, name);
            syn.run();
        }
        return id;
    }
};

}  // namespace

void installDictionary(Connection &db) {
    // Column options later engines record (identity, DEFAULT ON NULL, virtual columns).
    db.exec("CREATE TABLE IF NOT EXISTS kdb_column_extras(object_id INTEGER NOT NULL, column_name TEXT NOT NULL, "
            "identity TEXT, sequence_id INTEGER, default_on_null TEXT NOT NULL DEFAULT 'N', "
            "virtual TEXT NOT NULL DEFAULT 'N', identity_start TEXT, PRIMARY KEY(object_id, column_name))");
    // The sequence options of identity columns as their dictionary view spells them.
    db.exec("DROP VIEW IF EXISTS kdb_identity_options");
    db.exec("CREATE VIEW kdb_identity_options AS SELECT object_id, increment_by, "
            "min_value, CASE WHEN max_value >= 9.99e26 THEN '9999999999999999999999999999' ELSE max_value END "
            "AS max_value_text, cycle_flag, cache_size, order_flag FROM kdb_sequences");
    plsql::ensureStorage(db);
    // Drop what an older engine left, then build everything afresh.
    {
        std::vector<std::string> old;
        auto p = db.prepare("SELECT object_id, object_name FROM kdb_objects WHERE (owner = 'SYS' AND object_type = "
                            "'VIEW') OR (owner = 'PUBLIC' AND object_name IN (SELECT object_name FROM kdb_objects "
                            "WHERE owner = 'SYS' AND object_type = 'VIEW'))");
        std::vector<std::int64_t> ids;
        while (p.step()) {
            ids.push_back(p.integer(0));
        }
        Catalog catalog(db);
        auto views = db.prepare("SELECT name FROM sqlite_master WHERE type = 'view' AND name LIKE 'SYS.%'");
        while (views.step())
            old.push_back(views.text(0));
        for (const auto &v : old)
            db.exec("DROP VIEW " + quoteIdent(v));
        for (auto id : ids)
            catalog.removeObject(id);
    }
    Builder b{db};
    for (const auto &f : withColumnVariants(families())) {
        const std::string filterUser = std::string(f.ownerExpr) + " = kdb_user()";
        const std::string filterAll =
            std::string("(") + f.ownerExpr + " = kdb_user() OR kdb_is_dba() OR " + f.ownerExpr +
            " = 'SYS' OR EXISTS (SELECT 1 FROM kdb_tab_privs tp WHERE tp.owner = " + f.ownerExpr +
            " AND tp.table_name = " + f.nameExpr + " AND tp.grantee IN (kdb_user(), 'PUBLIC')))";
        const std::string base = f.from;
        b.addView(std::string("USER_") + f.suffix, f.columns, f.userHasOwner ? f.ownerColumn : "", f.ownerExpr,
                  base + " AND " + filterUser + " " + f.orderBy);
        b.addView(std::string("ALL_") + f.suffix, f.columns, f.ownerColumn, f.ownerExpr,
                  base + " AND " + filterAll + " " + f.orderBy);
        b.addView(std::string("DBA_") + f.suffix, f.columns, f.ownerColumn, f.ownerExpr, base + " " + f.orderBy);
    }
    for (const auto &v : singleViews())
        b.addView(v.name, v.columns, "", "", v.from);
    // DUAL: one row, one column, readable by everybody.
    if (!db.queryInt("SELECT count(*) FROM sqlite_master WHERE name = 'SYS.DUAL'")) {
        db.exec("CREATE TABLE \"SYS.DUAL\"(\"DUMMY\"); INSERT INTO \"SYS.DUAL\" VALUES ('X');");
        Catalog catalog(db);
        std::int64_t id = catalog.addObject("SYS", "DUAL", "TABLE");
        ColumnInfo dummy;
        dummy.name = "DUMMY";
        dummy.type.name = "VARCHAR2";
        dummy.type.length = 1;
        catalog.setColumns(id, {dummy});
        std::int64_t synId = catalog.addObject("PUBLIC", "DUAL", "SYNONYM");
        auto syn = db.prepare("INSERT INTO kdb_synonyms(object_id, table_owner, table_name) VALUES (?1, 'SYS', 'DUAL')");
        syn.bind(1, synId);
        syn.run();
    }
    db.exec("INSERT OR REPLACE INTO kdb_meta(key, value) VALUES ('dictionary_version', " +
            std::to_string(kDictionaryVersion) + ")");
}

void upgradeDictionary(Connection &db) {
    if (db.queryInt("SELECT value FROM kdb_meta WHERE key = 'dictionary_version'", 0) >= kDictionaryVersion)
        return;
    db.exec("BEGIN IMMEDIATE");
    try {
        installDictionary(db);
        db.exec("COMMIT");
    } catch (...) {
        db.exec("ROLLBACK");
        throw;
    }
}

}  // namespace localdb
