// Tests of the ini persistence on a window owner: the placement keys, restoring only complete
// placements, the maximised and minimised states, and saving when the window closes or dies.
#include "settings/ini_save_props.h"

#include "classlib/ini_file.h"
#include "sample_component.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

QApplication &App()
{
    return *qApp;
}

void WriteFile(const QString &name, std::string_view bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A form that owns its settings component, as the program's windows do.
class Form : public QWidget {
public:
    explicit Form(const QString &fileName, TRestoreKinds kinds = TRestoreKind::Enabled)
    {
        setObjectName("frmMain");
        props = new TIniSaveProps(this);
        props->SetFileName(fileName);
        props->SetAutoLoad(false);
        props->SetAutoSave(false); // each test turns on what it tests
        props->SetRestorePlacement(kinds);
    }
    TIniSaveProps *props;
};

class SavePropWindowTest : public ::testing::Test {
protected:
    SavePropWindowTest() { App(); }
    QString FileName() const { return dir.filePath("kestrim.ini"); }
    QTemporaryDir dir;
};

TEST_F(SavePropWindowTest, PlacementIsSavedUnderTheOwnersName)
{
    Form form(FileName());
    form.setGeometry(30, 40, 300, 200);
    form.props->Save();
    const TIniFile file(FileName());
    EXPECT_EQ(file.ReadSection("WindowPlacement"),
              (Strings{"frmMainLeft", "frmMainTop", "frmMainRight", "frmMainBottom", "frmMainState"}));
    EXPECT_EQ(file.ReadString("WindowPlacement", "frmMainLeft"), "30");
    EXPECT_EQ(file.ReadString("WindowPlacement", "frmMainRight"), "330");
    EXPECT_EQ(file.ReadString("WindowPlacement", "frmMainBottom"), "240");
    EXPECT_EQ(file.ReadString("WindowPlacement", "frmMainState"), "0");

    Form restored(FileName());
    restored.props->Load();
    EXPECT_EQ(restored.geometry(), QRect(30, 40, 300, 200));
}

TEST_F(SavePropWindowTest, FourOfFiveKeysRestoreNothing)
{
    WriteFile(FileName(), "[WindowPlacement]\nfrmMainLeft=10\nfrmMainTop=10\nfrmMainRight=110\nfrmMainBottom=110\n");
    Form form(FileName());
    form.setGeometry(50, 60, 200, 100);
    form.props->Load();
    EXPECT_EQ(form.geometry(), QRect(50, 60, 200, 100));
}

TEST_F(SavePropWindowTest, AreaLessRectangleIsNotApplied)
{
    WriteFile(FileName(), "[WindowPlacement]\nfrmMainLeft=10\nfrmMainTop=10\nfrmMainRight=5\nfrmMainBottom=110\nfrmMainState=0\n");
    Form form(FileName());
    form.setGeometry(50, 60, 200, 100);
    form.props->Load();
    EXPECT_EQ(form.geometry(), QRect(50, 60, 200, 100));
}

TEST_F(SavePropWindowTest, AWindowStoredOffEveryScreenComesBack)
{
    WriteFile(FileName(), "[WindowPlacement]\nfrmMainLeft=-90000\nfrmMainTop=70000\nfrmMainRight=-89700\n"
                          "frmMainBottom=70200\nfrmMainState=0\n");
    Form form(FileName());
    form.props->Load();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form.geometry(), QRect(area.topLeft(), QSize(300, 200)));
}

TEST_F(SavePropWindowTest, MaximisedStateNeedsAllowMaximize)
{
    const char *stored = "[WindowPlacement]\nfrmMainLeft=10\nfrmMainTop=20\nfrmMainRight=210\nfrmMainBottom=120\nfrmMainState=2\n";
    WriteFile(FileName(), stored);
    {
        Form form(FileName());
        form.props->Load();
        EXPECT_FALSE(form.isMaximized());
        EXPECT_EQ(form.geometry(), QRect(10, 20, 200, 100));
    }
    {
        Form form(FileName(), TRestoreKind::Enabled | TRestoreKind::AllowMaximize);
        form.props->Load();
        EXPECT_TRUE(form.isMaximized());
        form.show();
        form.props->Save();
        const TIniFile file(FileName());
        EXPECT_EQ(file.ReadString("WindowPlacement", "frmMainState"), "2");
        EXPECT_EQ(file.ReadString("WindowPlacement", "frmMainLeft"), "10") << "the normal rectangle is kept";
        EXPECT_EQ(file.ReadString("WindowPlacement", "frmMainRight"), "210");
    }
}

TEST_F(SavePropWindowTest, MinimisedStateNeedsAllowMinimize)
{
    WriteFile(FileName(), "[WindowPlacement]\nfrmMainLeft=10\nfrmMainTop=20\nfrmMainRight=210\nfrmMainBottom=120\nfrmMainState=1\n");
    Form plain(FileName());
    plain.props->Load();
    EXPECT_FALSE(plain.isMinimized());
    Form allowed(FileName(), TRestoreKind::Enabled | TRestoreKind::AllowMinimize);
    allowed.props->Load();
    EXPECT_TRUE(allowed.isMinimized());
}

TEST_F(SavePropWindowTest, ClosingTheWindowSavesOnce)
{
    auto *form = new Form(FileName(), {});
    form->props->SetAutoSave(true);
    form->setAttribute(Qt::WA_DeleteOnClose);
    auto *sample = new TSample(form, "S");
    TProp &item = *form->props->Props()->Add();
    item.SetCompo(sample);
    item.SetPropName("Number");
    int saves = 0;
    form->props->OnAfterSave = [&](QObject *) { ++saves; };
    form->show();
    sample->Number = 5;
    form->close();
    EXPECT_EQ(TIniFile(FileName()).ReadString("S", "Number"), "5");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(saves, 1) << "no second save when the closed window is deleted";
}

TEST_F(SavePropWindowTest, AWindowDeletedWithoutClosingStillSaves)
{
    auto *form = new Form(FileName());
    form->props->SetAutoSave(true);
    form->setGeometry(1, 2, 100, 50);
    delete form;
    EXPECT_EQ(TIniFile(FileName()).ReadString("WindowPlacement", "frmMainRight"), "101");
}

TEST_F(SavePropWindowTest, AutoLoadRestoresBeforeTheFirstEventLoopTurn)
{
    WriteFile(FileName(), "[WindowPlacement]\nfrmMainLeft=10\nfrmMainTop=20\nfrmMainRight=210\nfrmMainBottom=120\nfrmMainState=0\n");
    Form form(FileName());
    form.props->SetAutoLoad(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.geometry(), QRect(10, 20, 200, 100));
}

} // namespace
