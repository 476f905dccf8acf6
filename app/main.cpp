// Program entry: the application object, the frame with its About box, and the message loop
// until the frame closes.
#include "app/about_box.h"
#include "app/application.h"
#include "app/main_form.h"
#include "app/ver_info.h"
#include "db/message_box.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);

    TMainForm frame;
    try {
        frame.AboutBox()->LoadVersion(QCoreApplication::applicationFilePath());
    } catch (const EVerInfo &error) {
        // Without version information the program still runs; the About box shows no number.
        msgbox::ShowApplicationError(nullptr, error.Message());
    }
    frame.showMaximized();
    return QApplication::exec();
}
