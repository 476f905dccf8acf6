// The column description query.
#include "sql/column_description.h"

#include "classlib/cp932.h"
#include "sql/statement_text.h"

namespace worksheet {

std::string ColumnDescriptionQuery(std::string_view name)
{
    std::string literal;
    for (char c : TrimBlanks(name)) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    // The headers are Japanese: the fixed text is written here in UTF-8 and sent in code page 932
    // like every statement of the window.
    std::string q = cp932::Utf8ToCp932("select "
         " tc.column_name    \"列名\","
         " decode(nvl(tc.data_scale,0),0,"
         " decode(tc.data_type,'NUMBER',"
         " tc.data_type || '(' || "
         "   ltrim(to_char(tc.data_precision)) || ')',"
         "   decode(tc.data_type,'VARCHAR2',"
         "   tc.data_type || '(' || "
         "   ltrim(to_char(tc.data_length)) || ')',"
         "   decode(tc.data_type,'CHAR',"
         " tc.data_type || '(' || "
         "   ltrim(to_char(tc.data_length)) || ')',"
         " tc.data_type"
         "       )"
         "     )"
         " ),"
         " tc.data_type || '(' || "
         "   ltrim(to_char(tc.data_precision)) || ',' || "
         "   ltrim(to_char(tc.data_scale)) || ')'"
         " ) \"データ型\","
         " decode(tc.nullable,'Y','  ','No') \"Null\","
         " decode(mod(v.v_isPrim,2),1,'○',null) \"index(PK)\","
         " decode(greatest(nvl(v.v_isPrim,0),1),1,null,'○') "
         " \"index(Not PK)\","
         " c.comments \"コメント\""
         " from user_tab_columns tc,"
         "("
         " select ic.column_name as v_column_name,"
         " sum(decode (ic.index_name,c.constraint_name,1,2)) as v_isPrim"
         " from user_ind_columns ic, user_constraints c, user_indexes i"
         " where ic.table_name = c.table_name (+)"
         " and ic.index_name = i.index_name (+)"
         " and 'P' = c.constraint_type (+)"
         " and c.status = 'ENABLED'"
         " and ic.table_name = upper('");
    q += literal;
    q += "')"
         " and c.table_name = upper('";
    q += literal;
    q += "')"
         " group by ic.column_name"
         ") v,"
         "( select cm.comments, cm.column_name from user_col_comments cm"
         "  where table_name=upper('";
    q += literal;
    q += "')) c"
         " where tc.table_name = upper('";
    q += literal;
    q += "')"
         " and tc.column_name = v.v_column_name (+)"
         " and tc.column_name = c.column_name (+)"
         " order by tc.column_id";
    return q;
}

} // namespace worksheet
