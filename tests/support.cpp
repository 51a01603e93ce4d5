#include "support.h"

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "errorreport.h"
#include "errors.h"
#include "paths.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "parlomat-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Give back write permission that a test took away, so that everything can be removed.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

TempWorkspace::TempWorkspace(const std::string& inner)
    : folder_(TempDir::path() + inner), previousWorkingFolder_(workingFolder()) {
    for (const char* folder : {"flash/bots", "flash/chars", "flash/backs", "flash/music"})
        fs::create_directories(path() + folder);
    fs::copy(STAGED_WORKSPACE "/res", path() + "res", fs::copy_options::recursive);
    setProgramFolderForTests(path());
    if (::chdir(path().c_str()) != 0) throw std::runtime_error("chdir failed");
}

TempWorkspace::~TempWorkspace() {
    setProgramFolderForTests({});
    if (::chdir(previousWorkingFolder_.c_str()) != 0) {
        // Nothing sensible to do in a destructor; the next test sets its own folder.
    }
}

void TempWorkspace::addBot(const std::string& name) const {
    fs::create_directories(bot(name));
}

void TempWorkspace::linkEncoder() const {
    fs::remove(path() + "lame.exe");
    fs::create_symlink("/usr/bin/lame", path() + "lame.exe");
}

void TempWorkspace::fakeEncoder(const std::string& script) const {
    fs::remove(path() + "lame.exe");
    writeFile(path() + "lame.exe", "#!/bin/sh\n" + script + "\n");
    fs::permissions(path() + "lame.exe", fs::perms::owner_all);
}

ScriptedDialogs::~ScriptedDialogs() {
    discardQueuedReports();
}

std::vector<std::string>& ScriptedDialogs::shown() {
    showQueuedReports();
    return shown_;
}

void ScriptedDialogs::showMessage(Kind kind, const std::string& text) {
    shown_.push_back((kind == Kind::Information ? "Information: " : "Warning: ") + text);
}

void ScriptedDialogs::showErrorReport(const std::string& text) {
    shown_.push_back("Error: " + text);
}

void ScriptedDialogs::showApplicationError(const std::string& text) {
    shown_.push_back("Application Error: " + text);
}

bool ScriptedDialogs::inputQuery(const std::string& caption, const std::string& prompt,
                                 std::string& value, int maxLength) {
    lastQuery = {caption, prompt, value};
    lastQueryMaxLength = maxLength;
    if (answers.empty()) return false;
    const auto answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    value = *answer;
    return true;
}

RealBoxes::RealBoxes()
    : qtDialogs_(makeQtDialogs()), install_(qtDialogs_.get()), timer_(new QTimer) {
    QObject::connect(timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // A user presses the key once the box is in front and has the keyboard.
        if (!box || !box->isVisible() || QApplication::activeWindow() != box) return;
        closed_.push_back(box->windowTitle().toStdString() + ": " + box->text().toStdString());
        QWidget* target = box->focusWidget() ? box->focusWidget() : box;
        QTest::keyClick(target, Qt::Key_Return);
    });
    timer_->start(20);
}

RealBoxes::~RealBoxes() {
    delete timer_;
    discardQueuedReports();
}

const std::vector<std::string>& RealBoxes::waitFor(size_t count) {
    QElapsedTimer clock;
    clock.start();
    while ((closed_.size() < count || QApplication::activeModalWidget()) && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return closed_;
}

const std::vector<std::string>& RealBoxes::settle() {
    // The reports are queued through the event loop: a few turns show every one of them, and
    // each box that comes is closed before the next turn.
    for (int turn = 0; turn < 5; ++turn) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
        waitFor(closed_.size());
    }
    return closed_;
}

OnceWhen::OnceWhen(std::function<bool()> ready, std::function<void()> action)
    : timer_(std::make_unique<QTimer>()) {
    QObject::connect(timer_.get(), &QTimer::timeout,
                     [this, ready = std::move(ready), action = std::move(action)] {
                         if (done_ || !ready()) return;
                         done_ = true;
                         timer_->stop();
                         action();
                     });
    timer_->start(0);
}

OnceWhen::~OnceWhen() = default;

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

std::vector<QWidget*> tabOrderOf(const std::vector<QWidget*>& widgets) {
    std::vector<QWidget*> order;
    QWidget* w = widgets.front();
    do {
        if (std::find(widgets.begin(), widgets.end(), w) != widgets.end()) order.push_back(w);
        w = w->nextInFocusChain();
    } while (w != widgets.front());
    return order;
}

std::string errorMessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no error)";
}
