// The window as laid out: each control in its place, no text clipped, every control named for a
// screen reader.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>

#include "gui/main.h"
#include "tests/support/support.h"

namespace {
struct Layout : ::testing::Test {
    TempWorkspace workspace;
    std::unique_ptr<TfrmTextToSpeech> frm;
    Layout() {
        workspace.addBot("bot");
        frm = std::make_unique<TfrmTextToSpeech>();
        frm->show();
    }
    // Every control of the window, on every page.
    std::vector<QWidget*> controls() const {
        std::vector<QWidget*> all;
        for (QWidget* w : frm->findChildren<QWidget*>())
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) all.push_back(w);
        return all;
    }
};
}  // namespace

TEST_F(Layout, EveryControlStandsWhereTheLayoutPutsIt) {
    const std::pair<const char*, QRect> places[] = {
        {"ComboBoxBots", {123, 35, 145, 24}},
        {"ButtonAdd", {283, 35, 81, 25}},
        {"PageControl1", {16, 96, 673, 425}},
        {"GroupBox1", {363, 65, 273, 121}},
        {"GroupBox2", {11, 64, 321, 329}},
        {"Edithint", {48, 28, 217, 21}},
        {"Editprompt", {48, 52, 217, 21}},
        {"Editbutton", {48, 76, 217, 21}},
        {"ImageChar", {168, 21, 105, 105}},
        {"ImageBack", {168, 164, 105, 105}},
        {"MediaPlayer1", {258, 295, 57, 30}},
        {"ButtonAddCustomFiles", {443, 328, 113, 25}},
        {"Label1", {12, 21, 645, 41}},
        {"ValueListEditor1", {8, 64, 649, 265}},
        {"ButtonAddPhrase", {8, 343, 83, 25}},
        {"ButtonDeletePhrase", {112, 343, 83, 25}},
        {"ButtonPlay", {288, 343, 75, 25}},
        {"ListBoxVoices", {13, 72, 212, 73}},
        {"lstEngineInfo", {11, 174, 217, 65}},
        {"gbAttrs", {299, 33, 249, 129}},
        {"tbRate", {56, 24, 161, 33}},
        {"tbVolume", {56, 80, 161, 30}},
        {"ButtonAddVoices", {547, 202, 105, 25}},
        {"ButtonGenerateSpeech", {51, 312, 105, 25}},
        {"LabelStatus", {75, 360, 185, 20}},
        {"pbMic", {299, 253, 128, 128}},
        {"ButtonTest", {60, 96, 105, 25}},
        {"ButtonPublish", {60, 288, 105, 25}},
        {"RichEditHtml", {316, 64, 337, 281}},
        {"ButtonCopyClipboard", {316, 344, 97, 25}},
    };
    for (const auto& [name, place] : places) {
        const QWidget* control = frm->findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->geometry(), place) << name;
    }
}

TEST_F(Layout, NoTextIsClippedAndNoControlLeavesItsParent) {
    for (int page = 0; page < frm->PageControl1->count(); ++page) {
        frm->PageControl1->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget* w : controls()) {
            if (!w->isVisible() || w == frm.get() || !w->parentWidget()) continue;
            const std::string name = w->objectName().toStdString();
            if (w->parentWidget()->objectName().startsWith("qt_")) continue;  // inner parts
            EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name;
            if (const auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
                const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                                     : label->sizeHint().height();
                EXPECT_LE(needed, label->height()) << name;
                if (!label->wordWrap()) {
                    EXPECT_LE(label->sizeHint().width(), label->width()) << name;
                }
            }
            if (const auto* button = qobject_cast<QAbstractButton*>(w);
                button && !button->text().isEmpty()) {
                EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 6,
                          button->width())
                    << name;
            }
        }
    }
}

TEST_F(Layout, EveryControlHasANameForAScreenReader) {
    for (int page = 0; page < frm->PageControl1->count(); ++page) {
        frm->PageControl1->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget* w : controls()) {
            if (!w->isVisible() || qobject_cast<QLabel*>(w)) continue;
            if (!(w->focusPolicy() & Qt::TabFocus) && w->objectName() != "pbMic" &&
                !w->objectName().startsWith("Image"))
                continue;  // what takes no focus is read through what does
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr) << w->objectName().toStdString();
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->objectName().toStdString();
        }
    }
}
