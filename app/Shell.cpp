#include "app/Shell.h"

#include "app/BusyStatus.h"
#include "app/DebugWindow.h"
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/QtReporter.h"
#include "app/ShellCommands.h"
#include "app/ShellRules.h"
#include "app/StatusBar.h"
#include "app/dialogs/FileDialogs.h"
#include "fonts/FontCatalogue.h"
#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/TextObject.h"
#include "export/Export.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <cfenv>
#include <cstdlib>

namespace zavora {

namespace {

// The window shown for the first second of the program.
class SplashWindow : public QWidget {
public:
    explicit SplashWindow(const QString& product)
        : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
        , m_product(product)
    {
        setObjectName(QStringLiteral("SPLASHDLG"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        resize(360, 200);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(250, 250, 245));
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        // A small emblem: a filled ellipse behind a rectangle and a curve.
        p.setBrush(QColor(230, 60, 40));
        p.drawEllipse(QRectF(30, 50, 90, 60));
        p.setBrush(QColor(40, 90, 200));
        p.drawRect(QRectF(70, 80, 70, 70));
        QPainterPath curve(QPointF(30, 160));
        curve.cubicTo(QPointF(80, 100), QPointF(120, 200), QPointF(160, 130));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(20, 140, 60), 4));
        p.drawPath(curve);
        QFont title = font();
        title.setPixelSize(26);
        title.setBold(true);
        p.setFont(title);
        p.setPen(Qt::black);
        p.drawText(QRect(170, 60, 180, 40), Qt::AlignLeft | Qt::AlignVCenter, m_product);
        QFont small = font();
        small.setPixelSize(12);
        p.setFont(small);
        p.drawText(QRect(170, 100, 180, 20), Qt::AlignLeft, QStringLiteral("Version 3.6"));
    }

private:
    QString m_product;
};

} // namespace

Shell::Shell(Options options)
    : m_options(std::move(options))
{ }

Shell::~Shell()
{
    if (m_reporter)
        m_reporter->setOwner(nullptr, nullptr);
    m_debugWindow.reset();
    m_frame.reset();
    m_splash.reset();
    // Text objects point into the catalogue: they go first.
    m_drawing.takeAll();
    if (m_catalogue)
        m_catalogue->free();
}

bool Shell::start()
{
    // The edition and the program's folder come from the executable's path.
    m_formsEdition = isFormsEdition(m_options.executablePath);
    m_productName = productNameFor(m_formsEdition);
    const std::size_t slash = m_options.executablePath.rfind('/');
    m_programDirectory = slash == std::string::npos ? "." : m_options.executablePath.substr(0, slash);

    m_profile = std::make_unique<Profile>(
        m_options.settingsPath.empty() ? Profile::defaultPath() : m_options.settingsPath);

    if (m_options.installReporter)
        m_reporter = std::make_unique<QtReporter>();
    if (m_options.showSplash) {
        m_splash = std::make_unique<SplashWindow>(QString::fromStdString(m_productName));
        m_splash->show();
    }

    m_settings = ShellSettings::load(*m_profile);

    m_frame = std::make_unique<MainFrame>(*this);
    if (m_settings.left && m_settings.top && m_settings.width && m_settings.height && *m_settings.width > 0
        && *m_settings.height > 0) {
        m_frame->setGeometry(*m_settings.left, *m_settings.top, *m_settings.width, *m_settings.height);
    } else {
        QSize size(1024, 768);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableGeometry().size() * 0.9);
        m_frame->resize(size);
    }
    if (m_reporter)
        m_reporter->setOwner(m_frame.get(), m_frame->statusBar());
    m_debugWindow = std::make_unique<DebugWindow>(m_frame.get(), std::getenv("ZAVORA_DEBUG") != nullptr);
    if (m_settings.maximized)
        m_frame->showMaximized();
    else
        m_frame->show();
    if (m_splash)
        m_splash->raise();
    m_frame->activateWindow();

    // Floating-point faults never trap: results become infinities or NaNs,
    // which the view and the writers already refuse.
    fedisableexcept(FE_ALL_EXCEPT);
    if (m_options.loadFonts)
        loadFonts();

    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
        m_frame.get(), &MainFrame::idleWork);
    if (m_splash)
        m_frame->startSplashTimer(m_splash.get());

    std::string file = commandLineFileName(m_options.commandLine);
    if (!file.empty()) {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(file, error);
        openDrawing(error ? file : absolute.lexically_normal().string());
    }
    setTitle();
    return true;
}

void Shell::loadFonts()
{
    m_catalogue = std::make_unique<FontCatalogue>(
        systemFontSystem(), *m_profile, FontCatalogue::atmIniBeside(*m_profile));
    // Loading installs the catalogue as the model's font lookup, which is also
    // how screen text finds each font's renderer.
    m_catalogue->load();
    if (const FontEntry* font = defaultTextFont())
        m_textDefaults.fontName = font->postScriptName();
}

void Shell::setTitle()
{
    if (m_frame)
        m_frame->setWindowTitle(QString::fromStdString(frameTitle(m_drawing.fileName(), m_productName)));
}

bool Shell::openDrawing(const std::string& path, bool addRecent)
{
    // A file that does not read whole is not taken on: the drawing shown
    // keeps its objects, name and changes (the reader has said why).
    bool foreign = false;
    if (zavora::openDrawing(m_drawing, path, &foreign) != ZvxReadResult::Read)
        return false;
    m_nameFromForeignFile = foreign;
    if (foreign) {
        // Another program's file: Save writes a native drawing beside it,
        // never over it.
        m_drawing.setFileName(nativeNameFor(path));
        m_drawing.setModified(true);
    }
    if (addRecent)
        m_settings.recentFiles.add(path);
    if (m_frame) {
        m_frame->drawingWindow()->drawingReplaced();
        m_frame->postCommand(kCmdFitInWindow);
    }
    setTitle();
    return true;
}

void Shell::openDroppedFile(const std::string& path)
{
    if (!confirmDiscard())
        return;
    openDrawing(path);
}

bool Shell::askSaveChanges(const std::string& name, bool& wantSave)
{
    const QString text
        = QString::fromStdString(name + "\nThe drawing has changed.\n\nDo you want to save the changes?");
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(m_productName), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_frame.get());
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) {
        wantSave = true;
        return true;
    }
    return answer == QMessageBox::No;
}

bool Shell::confirmDiscard()
{
    if (!m_drawing.isModified())
        return true;
    const std::string& name = m_drawing.fileName();
    bool wantSave = false;
    if (!askSaveChanges(name.empty() ? "Untitled" : name, wantSave))
        return false;
    return !wantSave || save();
}

bool Shell::save()
{
    std::string path = m_drawing.fileName();
    // The name given to another program's drawing may be that of a different
    // drawing: then the dialog proposes it and asks before replacing it.
    std::error_code error;
    if (!path.empty() && !(m_nameFromForeignFile && std::filesystem::exists(path, error)))
        return saveAs(path, false); // the recent list keeps its order
    const std::optional<std::string> chosen = chooseSaveAsName();
    return chosen && saveAs(*chosen);
}

std::optional<std::string> Shell::chooseSaveAsName()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.directory = m_drawing.fileName().empty() ? m_settings.openDir : folderOf(m_drawing.fileName());
    request.proposedName = QString::fromStdString(std::filesystem::path(m_drawing.fileName()).filename().string());
    request.filters << QStringLiteral("Zavora Drawing (*.zvx)");
    request.save = true;
    const std::optional<FileChoice> choice = chooseFile(m_frame.get(), request);
    if (!choice)
        return std::nullopt;
    return choice->path;
}

bool Shell::saveAs(const std::string& path, bool addRecent)
{
    ExportOptions options;
    options.substituteFonts = m_settings.substitutePsForTt != 0;
    options.downloadForm = m_settings.type42Ok ? FontDownloadForm::Type42 : FontDownloadForm::Type3;
    bool saved;
    {
        BusyStatus busy(m_frame ? m_frame->statusBar() : nullptr, "Saving...");
        saved = saveDrawing(m_drawing, path, options);
    }
    if (!saved)
        return false;
    m_nameFromForeignFile = false;
    if (addRecent)
        m_settings.recentFiles.add(path);
    setTitle();
    return true;
}

void Shell::frameDestroyed()
{
    if (m_settingsSaved)
        return;
    m_settingsSaved = true;
    if (m_frame) {
        m_settings.maximized = m_frame->isMaximized();
        const QRect normal = m_frame->normalGeometry();
        if (normal.isValid()) {
            m_settings.left = normal.x();
            m_settings.top = normal.y();
            m_settings.width = normal.width();
            m_settings.height = normal.height();
        }
    }
    m_settings.save(*m_profile);
    if (m_debugWindow)
        m_debugWindow->close();
    if (m_splash)
        m_splash->close();
}

} // namespace zavora
