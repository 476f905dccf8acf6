// The session side of the functions: the nlsparams argument, territory defaults and the
// USERENV / SYS_CONTEXT values.
#include "tests/localdb/functions/function_test_support.h"
#include "localdb/functions/nls_parameters.h"
#include "localdb/functions/session_functions.h"
#include "localdb/localdb.h"

#include <gtest/gtest.h>

using namespace localdb::functions;
using localdb::NlsSettings;
using localdb::SessionContext;

namespace {

using functiontest::errorCode;

TEST(NlsParameters, QuotedAndBareValues)
{
    NlsSettings nls;
    applyNlsParameters("NLS_NUMERIC_CHARACTERS = ',.' nls_date_language=japanese", nls);
    EXPECT_EQ(nls.numericCharacters, ",.");
    EXPECT_EQ(nls.language, "JAPANESE");
    applyNlsParameters("NLS_CURRENCY = 'It''s'", nls);
    EXPECT_EQ(nls.currency, "It's");
    applyNlsParameters("NLS_CURRENCY = '￥'", nls);  // quoted values keep their bytes
    EXPECT_EQ(nls.currency, "￥");
}

TEST(NlsParameters, UnreadableTextRaises12702)
{
    for (const char *bad : {"NLS_SORT = BINARY", "NLS_CURRENCY", "NLS_CURRENCY = 'x", "= 'x'",
                            "NLS_NUMERIC_CHARACTERS = '..'", "NLS_NUMERIC_CHARACTERS = '.'"}) {
        NlsSettings nls;
        EXPECT_EQ(errorCode([&] { applyNlsParameters(bad, nls); }), 12702) << bad;
    }
}

TEST(Territory, SetsItsDefaults)
{
    NlsSettings nls;
    localdb::applyTerritory(nls, "JAPAN");
    EXPECT_EQ(nls.dateFormat, "RR-MM-DD");
    EXPECT_EQ(nls.currency, "￥");
    localdb::applyTerritory(nls, "AMERICA");
    EXPECT_EQ(nls.dateFormat, "DD-MON-RR");
    EXPECT_EQ(nls.currency, "$");
}

TEST(SysContext, ValuesAndLimits)
{
    SessionContext session;
    session.sessionUser = "山田";
    session.currentSchema = "SCOTT";
    session.sessionId = 42;
    EXPECT_EQ(sysContext("USERENV", "current_schema", 256, session), "SCOTT");
    EXPECT_EQ(sysContext("USERENV", "SID", 256, session), "42");
    EXPECT_EQ(sysContext("USERENV", "MODULE", 256, session), std::nullopt);
    // Cut to the byte limit on a character boundary: each kanji is three bytes of UTF-8.
    EXPECT_EQ(sysContext("USERENV", "SESSION_USER", 4, session), "山");
    EXPECT_EQ(sysContext("USERENV", "SESSION_USER", 2, session), "");
    EXPECT_EQ(sysContext("OTHER", "ANYTHING", 256, session), std::nullopt);
    EXPECT_EQ(errorCode([&] { sysContext("USERENV", "NOSUCH", 256, session); }), 2003);
    EXPECT_EQ(userenv("sessionid", session), "42");
    EXPECT_EQ(userenv("CLIENT_INFO", session), std::nullopt);
    EXPECT_EQ(errorCode([&] { userenv("CURRENT_SCHEMA", session); }), 2003);
}

}  // namespace
