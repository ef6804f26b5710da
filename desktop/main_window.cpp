#include "main_window.h"

#include "progress_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QThread>

#include "app/dialog_templates.h"
#include "client_area.h"
#include "dialog_builder.h"
#include "menu_bar.h"

namespace desktop {

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QMessageBox::Icon qtIcon(platform::MessageIcon icon) {
    switch (icon) {
        case platform::MessageIcon::Warning:
            return QMessageBox::Warning;
        case platform::MessageIcon::Information:
            return QMessageBox::Information;
        case platform::MessageIcon::Error:
            return QMessageBox::Critical;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

void setApplicationNamesBeforeStart() {
    // The instance half of WM_CLASS; the class half is the application name.
    if (qEnvironmentVariableIsEmpty("RESOURCE_NAME"))
        qputenv("RESOURCE_NAME", "Ardentix");
}

void setApplicationNames() {
    QApplication::setApplicationName(QStringLiteral("Ardentix"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Ardentix"));
    QGuiApplication::setDesktopFileName(QStringLiteral("Ardentix"));
}

MainWindow::MainWindow(app::AppSettings& app, BitmapLoader loader, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      loader_(std::move(loader)),
      quit_([](int code) { QCoreApplication::exit(code); }) {
    setObjectName(QStringLiteral("Ardentix"));
    setWindowTitle(QStringLiteral("Ardentix"));
    client_ = new ClientArea([this](const app::WindowMessage& m) { send(m); }, this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    menus_ = std::make_unique<MenuBar>(menuBar(), [this](int id) {
        app::WindowMessage m;
        m.id = app::WindowMessageId::Command;
        m.wParam = static_cast<uint32_t>(id);
        send(m);
    });
}

MainWindow::~MainWindow() {
    destroyOnce();
}

bool MainWindow::create() {
    app::WindowMessage m;
    m.id = app::WindowMessageId::Create;
    m.window = this;
    created_ = app::mainWindowProc(app_, m) == 0;
    if (!created_)
        destroyed_ = true;  // refused: no window, no exit sequence
    return created_;
}

void MainWindow::showMaximizedAndPaint() {
    // The window covers the screen's work area already, so that it is as large where no window
    // manager maximizes it (a bare X server); a window manager then marks it maximized.
    if (const QScreen* s = screen())
        setGeometry(s->availableGeometry());
    showMaximized();
    client_->paintPending();
}

int32_t MainWindow::send(app::WindowMessage m) {
    if (!created_ || destroyed_)
        return 0;
    return app::mainWindowProc(app_, m);
}

void MainWindow::destroyOnce() {
    if (!created_ || destroyed_)
        return;
    app::WindowMessage m;
    m.id = app::WindowMessageId::Destroy;
    app::mainWindowProc(app_, m);
    destroyed_ = true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    destroyOnce();
    event->accept();
}

void MainWindow::messageBox(std::string_view text, std::string_view title,
                            platform::MessageIcon icon, platform::MessageButtons) {
    std::string t(text), h(title);
    if (QThread::currentThread() != thread()) {
        // From a worker: shown by the window's thread as soon as it is free; the worker does
        // not wait, so a thread that waits for its workers cannot deadlock.
        QMetaObject::invokeMethod(
            this, [this, t, h, icon] { showMessageBox(t, h, icon); }, Qt::QueuedConnection);
        return;
    }
    showMessageBox(t, h, icon);
}

void MainWindow::showMessageBox(const std::string& text, const std::string& title,
                                platform::MessageIcon icon) {
    QMessageBox box(qtIcon(icon), qs(title), qs(text), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);  // "No Bitmap <ButtonStart>" is not markup
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

platform::Rect MainWindow::clientRect() const {
    return platform::Rect{0, 0, client_->width(), client_->height()};
}

void MainWindow::invalidateRect(const platform::Rect* rect, bool erase) {
    client_->invalidate(rect, erase);
}

void MainWindow::requestClose() {
    // Closed once the current message is handled, as a posted close request would be.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::postQuit(int exitCode) {
    if (quit_)
        quit_(exitCode);
}

void MainWindow::checkMenuItem(int id, bool checked) {
    menus_->check(id, checked);
}

bool MainWindow::menuItemChecked(int id) const {
    return menus_->checked(id);
}

std::optional<platform::Bitmap> MainWindow::loadBitmap(std::string_view name) {
    return loader_ ? loader_(name) : std::nullopt;
}

void MainWindow::createEditControl(int id, std::string_view title) {
    client_->createEdit(id);
    if (QLineEdit* e = client_->edit(id))
        e->setWindowTitle(qs(title));
}

void MainWindow::moveEditControl(int id, int32_t x, int32_t y, int32_t width, int32_t height) {
    client_->moveEdit(id, x, y, width, height);
}

void MainWindow::showEditControl(int id, bool visible) {
    client_->showEdit(id, visible);
}

std::string MainWindow::editText(int id) const {
    return client_->editText(id);
}

void MainWindow::setEditText(int id, std::string_view text) {
    client_->setEditText(id, text);
}

platform::CursorShape MainWindow::setCursor(platform::CursorShape shape) {
    return client_->setCursorShape(shape);
}

void MainWindow::captureMouse() {
    client_->capture();
}

void MainWindow::releaseMouse() {
    client_->release();
}

bool MainWindow::runDialog(platform::DialogRequest& request) {
    const app::DialogTemplate* t = app::findDialogTemplate(request.templateId);
    if (!t)
        return false;
    return runTemplateDialog(this, *t, request);
}

std::optional<std::string> MainWindow::chooseSaveFile(const platform::SaveFileRequest& request) {
    QFileDialog dialog(this, qs(request.title));
    dialog.setObjectName(QStringLiteral("saveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog: the same on every desktop, and usable without a desktop portal.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    QStringList filters;
    for (const auto& [caption, pattern] : request.filters)
        filters << qs(caption) + QStringLiteral(" (") + qs(pattern).replace(';', ' ') +
                       QStringLiteral(")");
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    QString suffix = qs(request.defaultExtension);
    while (suffix.startsWith('.'))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

void MainWindow::runWithProgress(std::string_view title, const ProgressWork& work) {
    runWithProgressDialog(this, title, work);
}

platform::Bitmap MainWindow::capturePicture() const {
    return client_->capturePicture();
}

}  // namespace desktop
