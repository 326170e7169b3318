#include "app/CNotesApp.h"

#include "app/CMainFrame.h"
#include "app/CNotesDoc.h"
#include "app/CStartUpDlg.h"
#include "app/FileTypeRegistration.h"
#include "app/ToolbarArt.h"
#include "dialogs/DialogFrame.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/ErrorReport.h"
#include "framework/Prompts.h"
#include "framework/SettingsProfile.h"
#include "view/CNotesView.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString CNotesApp::version()
{
    return QStringLiteral("Ardentix Lockleaf 3.1");
}

CNotesApp::CNotesApp(Options options) : options_(std::move(options))
{
    settings_ = options_.settingsFile.isEmpty() ? std::make_unique<SettingsProfile>()
                                                : std::make_unique<SettingsProfile>(options_.settingsFile);
}

CNotesApp::~CNotesApp()
{
    // The frame's view refers to the document: it goes first.
    frame_.reset();
    doc_.reset();
}

bool CNotesApp::initInstance(const QStringList& files)
{
    FileTypeRegistration registration(
        options_.dataHome.isEmpty() ? FileTypeRegistration::defaultDataHome() : options_.dataHome,
        options_.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : options_.programPath);
    if (options_.refresher)
        registration.setRefresher(options_.refresher);
    registration.run();

    router_ = std::make_unique<CommandRouter>();
    router_->installIdleUpdates();
    doc_ = std::make_unique<CNotesDoc>(settings_.get());
    frame_ = std::make_unique<CMainFrame>(*doc_, *router_, settings_.get());
    doc_->registerCommands(*router_);
    frame_->view().registerCommands(*router_);

    using L = CommandRouter::Level;
    router_->add(L::application, cmd::FILE_NEW, [this] { doc_->fileNew(); });
    router_->add(L::application, cmd::FILE_OPEN, [this] { doc_->fileOpen(); });
    router_->add(L::application, cmd::APP_ABOUT, [this] { about(); });

    const bool newDatabase = files.isEmpty();
    if (newDatabase) {
        doc_->fileNew();
    } else {
        try {
            if (!doc_->openDocumentFile(files.constFirst(), false))
                return false;
        } catch (const std::exception& e) {
            reportException(nullptr, e);
            return false;
        }
    }

    frame_->restoreLayout();
    frame_->show();
    router_->updateAll();
    if (newDatabase)
        startUpChooser();
    return true;
}

bool CNotesApp::openDocumentFile(const QString& path)
{
    return doc_->openDocumentFile(path);
}

void CNotesApp::startUpChooser()
{
    CStartUpDlg chooser(doc_->store(), [this](const QString& path) { return openDocumentFile(path); }, frame_.get());
    prompts::exec(chooser);
    router_->updateAll();
}

void CNotesApp::about()
{
    QDialog box(frame_.get());
    box.setWindowTitle(QStringLiteral("About Ardentix Lockleaf"));
    auto* icon = new QLabel(&box);
    icon->setPixmap(toolbarart::programIcon().pixmap(48, 48));
    auto* text = new QLabel(version(), &box);
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    row->addWidget(ok, 0, Qt::AlignTop);
    box.setLayout(row);
    dialogframe::fixSize(&box, box.sizeHint());
    prompts::exec(box);
}
