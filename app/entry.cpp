// Program entry: the platform parts, the application, the main window, the message loop.
#include <QApplication>
#include <memory>

#include "core/dialogs.h"
#include "core/errors.h"
#include "gui/errorreport.h"
#include "gui/layout.h"
#include "gui/main.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    layout::applyApplicationLook();
    const RealPlatform platform;
    ReportQueue reports;

    std::unique_ptr<TfrmTextToSpeech> frmTextToSpeech;
    try {
        frmTextToSpeech = std::make_unique<TfrmTextToSpeech>();
    } catch (const std::exception& error) {
        dialogs().showApplicationError(applicationErrorText(error));
        return 1;
    }
    frmTextToSpeech->show();
    QApplication::exec();
    frmTextToSpeech.reset();
    return 0;
}
