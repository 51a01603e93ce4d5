#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "core/paths.h"

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

void centreOnScreen(QWidget& dialog) {
    dialog.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog.move(frame.topLeft());
    }
}

void runBox(QMessageBox::Icon icon, const QString& caption, const std::string& text) {
    QMessageBox box(icon, caption, qs(text), QMessageBox::Ok);
    centreOnScreen(box);
    box.exec();
}

class QtDialogs final : public Dialogs {
public:
    void showMessage(Kind kind, const std::string& text) override {
        if (kind == Kind::Information)
            runBox(QMessageBox::Information, "Information", text);
        else
            runBox(QMessageBox::Warning, "Warning", text);
    }
    void showErrorReport(const std::string& text) override {
        runBox(QMessageBox::Critical, qs(applicationTitle(executablePath())), text);
    }
    void showApplicationError(const std::string& text) override {
        runBox(QMessageBox::Critical, "Application Error", text);
    }
    bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                    int maxLength) override {
        QInputDialog dialog;
        dialog.setWindowTitle(qs(caption));
        dialog.setLabelText(qs(prompt));
        dialog.setTextValue(qs(value));
        dialog.setOkButtonText("OK");
        dialog.setCancelButtonText("Cancel");
        if (auto* field = dialog.findChild<QLineEdit*>()) {
            field->setMaxLength(maxLength);
            field->selectAll();
        }
        centreOnScreen(dialog);
        if (dialog.exec() != QDialog::Accepted) return false;
        value = dialog.textValue().toStdString();
        return true;
    }
};

}  // namespace

std::unique_ptr<Dialogs> makeQtDialogs() {
    return std::make_unique<QtDialogs>();
}
