// The application object: Japanese texts of Qt's standard buttons, the Windows font names mapped
// to installed fonts, and the default error report that keeps an exception thrown in an event
// handler from leaving the event loop.
#include "app/application.h"
#include "classlib/errors.h"
#include "tests/support/gui_support.h"

#include <QFontInfo>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

TApplication &App()
{
    return guitest::App<TApplication>();
}

class TThrowingWidget : public QWidget {
protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw Exception(QStringLiteral("処理できません"));
        return QWidget::event(event);
    }
};

TEST(Application, AnExceptionFromAnEventHandlerIsReportedAndTheLoopGoesOn)
{
    App();
    guitest::TMessageBoxCatcher boxes;
    TThrowingWidget widget;
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QTest::qWait(50);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Titles[0], QStringLiteral("Kestrim"));
    EXPECT_EQ(boxes.Texts[0], QStringLiteral("処理できません"));
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QTest::qWait(50);
    EXPECT_EQ(boxes.Count(), 2);
}

TEST(Application, StandardButtonsReadInJapanese)
{
    App();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("警告"), QStringLiteral("中断しますか？"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

TEST(Application, WindowFontNamesResolveToInstalledJapaneseFonts)
{
    App();
    for (const QString &family : {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ Ｐゴシック")}) {
        QFont font(family);
        font.setPixelSize(15);
        const QString resolved = QFontInfo(font).family();
        EXPECT_TRUE(resolved.contains(QStringLiteral("IPA"))) << resolved.toStdString();
    }
}

} // namespace

// The program's own application class, on main's stack as in the program.
int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
