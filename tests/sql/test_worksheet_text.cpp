// The worksheet's text rules without a window: comment removal, classification, the history rule,
// the queries it builds around names, CSV fields, "sql.ini" as users write it, and the CSV file
// on a full disk.
#include "classlib/cp932.h"
#include "classlib/errors.h"
#include "sql/column_description.h"
#include "sql/csv_file.h"
#include "sql/csv_line.h"
#include "sql/registered_sql.h"
#include "sql/statement_text.h"
#include "sql/status_times.h"
#include "sql/value_text.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace worksheet;

namespace {

TEST(WorksheetText, CommentRemoval)
{
    EXPECT_EQ(RemoveComments("select /* a */ 1 /* b */ from dual"), "select  1  from dual");
    EXPECT_EQ(RemoveComments("select 1 -- one\r\nfrom dual -- end"), "select 1 from dual ");
    // Markers inside literals start comments too.
    EXPECT_EQ(RemoveComments("select '--' from dual"), "select '");
    // A block comment without an end, or an end before the start, leaves the text and ends.
    EXPECT_EQ(RemoveComments("select 1 /* open"), "select 1 /* open");
    EXPECT_EQ(RemoveComments("a */ b /* c"), "a */ b /* c");
    EXPECT_EQ(RemoveComments("a /* x */ */ b /* c"), "a  */ b /* c");
    // Markers that form where a removed comment joined its neighbours start comments too.
    EXPECT_EQ(RemoveComments("a//* x */* y */b"), "ab");
    EXPECT_EQ(RemoveComments("a/* x */* y */b"), "a* y */b");
    EXPECT_EQ(RemoveComments("a-/* x */- y\r\nb"), "ab");
    // A line comment inside a block comment goes with the block.
    EXPECT_EQ(RemoveComments("a /* -- */ b"), "a  b");
    EXPECT_EQ(RemoveComments("-- only a comment"), "");
    // Several megabytes of comments end in time.
    std::string big;
    for (int i = 0; i < 200000; ++i)
        big += "/* comment */x-- line\r\n";
    EXPECT_EQ(RemoveComments(big), std::string(200000, 'x'));
}

TEST(WorksheetText, ClassificationByFirstWord)
{
    EXPECT_EQ(ClassifyStatement("  \r\n\tselect 1 from dual"), TStatementKind::Query);
    EXPECT_EQ(ClassifyStatement("SELECTX"), TStatementKind::Query);
    EXPECT_EQ(ClassifyStatement("commit"), TStatementKind::Commit);
    EXPECT_EQ(ClassifyStatement("COMMIT WORK now"), TStatementKind::Commit);
    EXPECT_EQ(ClassifyStatement("Rollback"), TStatementKind::Rollback);
    EXPECT_EQ(ClassifyStatement("desc emp"), TStatementKind::Describe);
    EXPECT_EQ(ClassifyStatement("desc\temp"), TStatementKind::Other);
    EXPECT_EQ(ClassifyStatement("describe emp"), TStatementKind::Other);
    EXPECT_EQ(ClassifyStatement("truncate table t"), TStatementKind::Truncate);
    EXPECT_EQ(ClassifyStatement("truncate\ttable t"), TStatementKind::Other);
    EXPECT_EQ(ClassifyStatement("   "), TStatementKind::Other);
    EXPECT_EQ(ClassifyStatement("with q as (select 1 from dual) select * from q"), TStatementKind::Other);
    EXPECT_EQ(DescribedName("  desc emp;"), "EMP;");
}

TEST(WorksheetText, HistoryRule)
{
    std::vector<std::string> items = {"select 1 from dual", "  update t set n = 1\r\n"};
    EXPECT_FALSE(HistoryAccepts(items, "select 1 from dual"));
    EXPECT_FALSE(HistoryAccepts(items, "\r\n  select 1 from dual  \r\n"));
    EXPECT_FALSE(HistoryAccepts(items, "update t set n = 1"));
    EXPECT_TRUE(HistoryAccepts(items, "select 2 from dual"));
    EXPECT_TRUE(HistoryAccepts(items, "SELECT 1 FROM DUAL"));
    EXPECT_FALSE(HistoryAccepts(items, ""));
    EXPECT_FALSE(HistoryAccepts(items, " \r\n\t"));
}

TEST(WorksheetText, ElapsedTimeCountsMillisecondsAndWrapsAtMidnight)
{
    // Two milliseconds across a change of second took no second.
    EXPECT_EQ(ElapsedText(QTime(10, 0, 0, 999), QTime(10, 0, 1, 1)), "00:00:00");
    EXPECT_EQ(ElapsedText(QTime(10, 0, 0, 0), QTime(11, 2, 3, 500)), "01:02:03");
    EXPECT_EQ(ElapsedText(QTime(23, 59, 59, 500), QTime(0, 0, 1, 0)), "00:00:01");
}

TEST(WorksheetText, NamesPastedIntoQueriesCannotChangeThem)
{
    EXPECT_EQ(LongBinaryQuery("PIC", "select * from t", 3),
              "select rawtohex(\"PIC\") from (select * from t) where rownum<=3");
    EXPECT_EQ(LongBinaryQuery("A\"B", "q", 1), "select rawtohex(\"A\"\"B\") from (q) where rownum<=1");
    const std::string query = ColumnDescriptionQuery("  x') or 1=1 --\t");
    EXPECT_NE(query.find("upper('x'') or 1=1 --')"), std::string::npos);
    EXPECT_EQ(query.find("upper('x')"), std::string::npos);
    // The headers are code page 932 like every statement the window sends.
    EXPECT_NE(query.find(cp932::Utf8ToCp932("\"列名\"")), std::string::npos);
}

TEST(WorksheetText, GridCellTexts)
{
    const auto cell = [](int type, const db::Variant &value) {
        bool hasText = false;
        std::string text = GridCellText(type, value, hasText);
        return hasText ? text : std::string("<none>");
    };
    // Floating-point numbers in the shortest general form of up to 15 significant digits.
    EXPECT_EQ(cell(7, 2.5), "2.5");
    EXPECT_EQ(cell(7, 0.1 + 0.2), "0.3");
    EXPECT_EQ(cell(7, -1234567.125), "-1234567.125");
    EXPECT_EQ(cell(7, 1e20), "1E+20");
    EXPECT_EQ(cell(7, 0.00001), "1E-05");
    EXPECT_EQ(cell(4, 123456789012345678.0), "1.23456789012346E+17");
    EXPECT_EQ(cell(7, 100.0), "100");
    EXPECT_EQ(cell(3, 2.5), "2");
    EXPECT_EQ(cell(3, db::Variant{}), "<none>");
    EXPECT_EQ(cell(99, 1.0), "<none>");
    // Dates with their time of day when it is not midnight, every part padded.
    db::DateTime date{};
    date.year = 987;
    date.month = 3;
    date.day = 7;
    EXPECT_EQ(cell(8, date), "0987/03/07");
    date.hour = 9;
    date.second = 5;
    EXPECT_EQ(cell(8, date), "0987/03/07 09:00:05");
}

TEST(WorksheetText, CsvFields)
{
    const auto field = [](int type, const db::Variant &value) {
        std::string line;
        AppendCsvField(line, type, value);
        return line;
    };
    EXPECT_EQ(field(10, std::string("a\"b,c\r\nd")), "\"a\"b,c\r\nd\"");
    EXPECT_EQ(field(10, db::Variant{}), "\"\"");
    EXPECT_EQ(field(12, std::string("memo")), "\"memo\"");
    EXPECT_EQ(field(7, 2.5), "2");
    EXPECT_EQ(field(7, 3.5), "4");
    EXPECT_EQ(field(7, -2.5), "-2");
    EXPECT_EQ(field(7, -0.4), "0");
    EXPECT_EQ(field(4, std::int64_t{9007199254740993}), "9007199254740993");
    EXPECT_EQ(field(3, db::Variant{}), "");
    EXPECT_EQ(field(7, std::string("12.5")), "12");
    db::DateTime date{};
    date.year = 2024;
    date.month = 3;
    date.day = 7;
    date.hour = 13;
    date.minute = 5;
    EXPECT_EQ(field(8, date), "\"2024/03/07\"");
    EXPECT_EQ(field(8, db::Variant{}), "\"\"");
    EXPECT_EQ(field(11, db::Bytes{{0x01, 0xAB}}), "\"01AB\"");
    EXPECT_EQ(field(99, std::string("x")), "");
}

class RegisteredSqlTest : public ::testing::Test {
protected:
    QString Write(const std::string &bytes)
    {
        const QString path = folder_.filePath(QStringLiteral("sql.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }
    QTemporaryDir folder_;
};

TEST_F(RegisteredSqlTest, TitlesStopAtTheFirstGapAndHeadersMatchInAnyCase)
{
    const QString path = Write(cp932::Utf8ToCp932("[sql0]\r\ntitle=社員一覧\r\nsql=select * from emp\r\n"
                                                  "[SQL1]\r\nTITLE = 部署\r\nSQL=select * from dept\r\n"
                                                  "[SQL3]\r\nTITLE=unreachable\r\nSQL=select 3 from dual\r\n"));
    const auto titles = ReadRegisteredTitles(path);
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0], cp932::Utf8ToCp932("社員一覧"));
    EXPECT_EQ(titles[1], cp932::Utf8ToCp932("部署"));
    EXPECT_EQ(LoadRegisteredStatement(path, 0), "select * from emp\n");
    EXPECT_EQ(LoadRegisteredStatement(path, 1), "select * from dept\n");
    EXPECT_TRUE(ReadRegisteredTitles(folder_.filePath(QStringLiteral("missing.ini"))).empty());
    EXPECT_TRUE(ReadRegisteredTitles(Write("no sections at all\r\n")).empty());
}

TEST_F(RegisteredSqlTest, StatementsRunToTheNextSectionAndBorrowAMissingSqlLine)
{
    const QString path = Write("[SQL0]\r\nTITLE=no sql line\r\n"
                               "[SQL1]\r\nTITLE=two lines\r\nSQL=select a,\r\n\r\n  b from t\r\n"
                               "[SQL2]\nTITLE=last\nSQL=select 'x=y' from dual");
    EXPECT_EQ(LoadRegisteredStatement(path, 0), "select a,\n\n  b from t\n");
    EXPECT_EQ(LoadRegisteredStatement(path, 1), "select a,\n\n  b from t\n");
    EXPECT_EQ(LoadRegisteredStatement(path, 2), "select 'x=y' from dual\n");
    EXPECT_EQ(LoadRegisteredStatement(path, 7), std::nullopt);
    EXPECT_EQ(LoadRegisteredStatement(Write("[SQL0]\r\nTITLE=t\r\n"), 0), std::nullopt);
    EXPECT_THROW(LoadRegisteredStatement(folder_.filePath(QStringLiteral("missing.ini")), 0), EFOpenError);
}

TEST_F(RegisteredSqlTest, LongTitlesAndInvalidBytesAreReadSafely)
{
    std::string longTitle;
    for (int i = 0; i < 100; ++i)
        longTitle += cp932::Utf8ToCp932("表");
    const QString path = Write("[SQL0]\r\nTITLE=" + longTitle + "\r\nSQL=\x81\xFF\x80 select\r\n"
                               "[SQL1]\r\nTITLE=\xFC\r\nSQL=x\r\n");
    const auto titles = ReadRegisteredTitles(path);
    ASSERT_EQ(titles.size(), 2u);
    // At most 127 bytes, never half a character.
    EXPECT_EQ(titles[0].size(), 126u);
    EXPECT_EQ(LoadRegisteredStatement(path, 0), "\x81\xFF\x80 select\n");
}

TEST(CsvFile, AFullDiskIsReportedAndNeverTakenForSuccess)
{
    TCsvFile file;
    file.Create(QStringLiteral("/dev/full"));
    // Small writes stay in the buffer; the failure shows at the latest when the file closes.
    bool failed = false;
    try {
        for (int i = 0; i < 100000 && !failed; ++i)
            file.Write("\"some text\",12345\r\n");
        file.Close();
    } catch (const EWriteError &) {
        failed = true;
    }
    EXPECT_TRUE(failed);
    TCsvFile unwritable;
    EXPECT_THROW(unwritable.Create(QStringLiteral("/proc/no-such-folder/save.csv")), EFCreateError);
}

} // namespace
