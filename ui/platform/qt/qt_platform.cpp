#include "ui/platform/qt/qt_platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <set>
#include <thread>

#include "ui/platform/qt/qt_convert.h"
#include "ui/platform/qt/qt_surface.h"
#include "ui/platform/qt/qt_window.h"

namespace kestravin::platform {

namespace {

// The write end of the pipe that wakes the event loop when a termination signal arrives.
volatile std::sig_atomic_t gTerminationFd = -1;

// Only async-signal-safe calls here: one write into the pipe.
extern "C" void noteTermination(int) {
  const int saved = errno;
  const char byte = 1;
  if (gTerminationFd >= 0) (void)!write(gTerminationFd, &byte, 1);
  errno = saved;
}

class QtPlatform : public Platform {
 public:
  QtPlatform(int& argc, char** argv) : app_(argc, argv) {
    QApplication::setQuitOnLastWindowClosed(false);
    dispatcher_ = QAbstractEventDispatcher::instance();
  }
  ~QtPlatform() override {
    if (!termination_) return;
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGINT, &oldInt_, nullptr);
    gTerminationFd = -1;
    termination_.reset();
    close(pipe_[0]);
    close(pipe_[1]);
  }

  bool registerClass(const std::string& name) override {
    classes_.insert(name);
    return true;
  }

  std::unique_ptr<Window> createWindow(const WindowSpec& desc) override {
    if (!classes_.count(desc.className)) return nullptr;
    QtWindow* parent = nullptr;
    if (desc.kind == WindowKind::kChild) {
      if (!desc.parent) return nullptr;
      parent = static_cast<QtWindow*>(desc.parent);
    }
    auto window = std::make_unique<QtWindow>(desc, parent);
    if (parent) parent->adopt(window.get());
    return window;
  }

  std::unique_ptr<Buffer> createBuffer(Size size) override {
    return std::make_unique<ImageSurface>(size);
  }

  std::unique_ptr<Font> createFont(const FontSpec& desc) override {
    return std::make_unique<QtFont>(desc);
  }

  void messageBox(const std::string& text, const std::string& caption) override {
    QMessageBox box(QMessageBox::NoIcon, toQt(caption), toQt(text), QMessageBox::Ok);
    box.exec();
  }

  void askOkCancel(const std::string& text, const std::string& caption,
                   std::function<void(bool ok)> answer) override {
    QMessageBox box(QMessageBox::NoIcon, toQt(caption), toQt(text),
                    QMessageBox::Ok | QMessageBox::Cancel);
    answer(box.exec() == QMessageBox::Ok);
  }

  std::optional<std::string> askSaveFileName(const SaveDialogSpec& request) override {
    QWidget* owner =
        request.owner ? static_cast<QtWindow*>(request.owner)->canvasWidget() : nullptr;
    QFileDialog dialog(owner, toQt(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(toQt(request.typeName) + QStringLiteral(" (*.") + toQt(request.extension) +
                         QStringLiteral(")"));
    dialog.setDefaultSuffix(toQt(request.extension));
    dialog.selectFile(toQt(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return QFile::encodeName(files.front()).toStdString();
  }

  void copyText(std::string_view text) override {
    QGuiApplication::clipboard()->setText(toQt(text));
  }

  // A termination signal writes into a pipe whose read end the event loop watches; the loop
  // then closes the window, so that everything shuts down as when the user closes it.
  void closeOnTermination(Window& window) override {
    target_ = static_cast<QtWindow&>(window).canvasWidget();
    if (termination_) return;
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    termination_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(termination_.get(), &QSocketNotifier::activated, [this] {
      char bytes[64];
      while (read(pipe_[0], bytes, sizeof bytes) > 0) {
      }
      if (target_) target_->close();
    });
    gTerminationFd = pipe_[1];
    struct sigaction action {};
    action.sa_handler = noteTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // A signal ignored from the start (SIGINT of a program a shell starts in the background)
    // stays ignored.
    sigaction(SIGTERM, nullptr, &oldTerm_);
    sigaction(SIGINT, nullptr, &oldInt_);
    if (oldTerm_.sa_handler != SIG_IGN) sigaction(SIGTERM, &action, nullptr);
    if (oldInt_.sa_handler != SIG_IGN) sigaction(SIGINT, &action, nullptr);
  }

  // Once quit has been asked for, events are still handled (a program made afterwards in the
  // same process, as the tests make them, gets its events), but never waited for.
  bool processEvents(bool wait) override {
    QCoreApplication::processEvents(wait && !quit_ ? QEventLoop::WaitForMoreEvents
                                                   : QEventLoop::AllEvents);
    return quit_;
  }

  void postQuit() override {
    quit_ = true;
    wake();
  }

  void wake() override {
    if (dispatcher_) dispatcher_->wakeUp();
  }

  void yield() override { std::this_thread::yield(); }

 private:
  QApplication app_;
  QAbstractEventDispatcher* dispatcher_ = nullptr;
  std::set<std::string> classes_;
  bool quit_ = false;
  int pipe_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> termination_;
  QPointer<QWidget> target_;
  struct sigaction oldTerm_ {};
  struct sigaction oldInt_ {};
};

bool haveDisplay() {
#if defined(__linux__) || defined(__FreeBSD__)
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
  return true;
#endif
}

}  // namespace

PlatformResult makeQtPlatform(int& argc, char** argv) {
  if (!haveDisplay()) {
    return {nullptr,
            "No display to show the windows on: run it in a desktop session, or as "
            "'xvfb-run -a kestravin' (package xvfb)."};
  }
  return {std::make_unique<QtPlatform>(argc, argv), {}};
}

}  // namespace kestravin::platform
