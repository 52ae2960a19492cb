// The Preferences dialog: its fields, the check of the compiler's path, and
// the settings written on OK.
#include "ui/preferences_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/compiler.h"
#include "ui/platform_services.h"
#include "ui/window_common.h"

namespace {
// A field with its Browse button (and what else stands beside it).
QHBoxLayout* row(QLineEdit* field, QWidget* beside, QPushButton* browse) {
    auto* layout = new QHBoxLayout;
    layout->addWidget(field, 1);
    if (beside) layout->addWidget(beside);
    layout->addWidget(browse);
    return layout;
}
}  // namespace

PreferencesDialog::PreferencesDialog(PlatformServices& services, QWidget* parent)
    : QDialog(parent),
      services_(services),
      lblpreferencesnote(named(new QLabel(this), "lblpreferencesnote")),
      txtcompilerpath(named(new QLineEdit(this), "txtcompilerpath")),
      lblcompilerstatus(named(new QLabel(this), "lblcompilerstatus")),
      txtsceneryfolder(named(new QLineEdit(this), "txtsceneryfolder")),
      txtcompilerlimit(named(new QLineEdit(this), "txtcompilerlimit")) {
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(tr("Preferences"));
    lblpreferencesnote->setWordWrap(true);
    txtcompilerpath->setMinimumWidth(320);
    txtcompilerlimit->setValidator(new QIntValidator(1, 3600, this));
    connect(txtcompilerpath, &QLineEdit::textChanged, this, &PreferencesDialog::showCompilerStatus);

    auto* browseCompiler = named(new QPushButton(tr("&Browse..."), this), "cmdbrowsecompiler");
    connect(browseCompiler, &QPushButton::clicked, this, [this] {
        const QString chosen = services_.openFileName(
            this, tr("The SDK's Compiler"),
            {{QStringLiteral("Compiler (BGLC.exe)"), QStringLiteral("BGLC.exe;bglc.exe")},
             {QStringLiteral("All Files (*)"), QStringLiteral("*")}},
            txtcompilerpath->text().isEmpty() ? QString()
                                              : QFileInfo(txtcompilerpath->text()).path());
        if (!chosen.isEmpty()) txtcompilerpath->setText(chosen);
    });
    auto* browseScenery = named(new QPushButton(tr("B&rowse..."), this), "cmdbrowsescenery");
    connect(browseScenery, &QPushButton::clicked, this, [this] {
        const QString chosen =
            services_.existingFolder(this, tr("Scenery Folder"), txtsceneryfolder->text());
        if (!chosen.isEmpty()) txtsceneryfolder->setText(chosen);
    });

    auto* form = new QFormLayout;
    auto* compilerCaption = new QLabel(tr("&Compiler (BGLC.exe):"), this);
    compilerCaption->setBuddy(txtcompilerpath);
    form->addRow(compilerCaption, row(txtcompilerpath, lblcompilerstatus, browseCompiler));
#ifndef Q_OS_WIN
    txtcompilerrunner = named(new QLineEdit(this), "txtcompilerrunner");
    txtcompilerrunner->setPlaceholderText(QStringLiteral("for example wine"));
    form->addRow(tr("R&un it with:"), txtcompilerrunner);
#endif
    txtsceneryfolder->setPlaceholderText(
        QStringLiteral("none: the .bgl stays in the working folder"));
    auto* sceneryCaption = new QLabel(tr("&Scenery folder:"), this);
    sceneryCaption->setBuddy(txtsceneryfolder);
    form->addRow(sceneryCaption, row(txtsceneryfolder, nullptr, browseScenery));
    form->addRow(tr("&Time limit (seconds):"), txtcompilerlimit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdpreferencesok"));
    buttons->button(QDialogButtonBox::Cancel)
        ->setObjectName(QStringLiteral("cmdpreferencescancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblpreferencesnote);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void PreferencesDialog::edit(const QString& note) {
    const CompilerSettings settings = CompilerSettings::read(services_.settings());
    lblpreferencesnote->setText(note);
    lblpreferencesnote->setVisible(!note.isEmpty());
    txtcompilerpath->setText(settings.compiler);
    if (txtcompilerrunner) txtcompilerrunner->setText(settings.runner);
    txtsceneryfolder->setText(settings.sceneryFolder);
    txtcompilerlimit->setText(QString::number(settings.limitSeconds));
    showCompilerStatus();
    open();
    txtcompilerpath->setFocus();
}

void PreferencesDialog::accept() {
    // A limit is never cut to what it happens to start with: the author
    // corrects it or cancels.
    bool whole = false;
    const int limit = txtcompilerlimit->text().trimmed().toInt(&whole);
    if (!whole || limit < 1 || limit > 3600) {
        services_.showMessage(this, QMessageBox::Warning, kTitle,
                              tr("The time limit must be a whole number of seconds "
                                 "from 1 to 3600, not \"%1\".")
                                  .arg(txtcompilerlimit->text()));
        txtcompilerlimit->setFocus();
        txtcompilerlimit->selectAll();
        return;
    }
    CompilerSettings settings;
    settings.limitSeconds = limit;
    settings.compiler = txtcompilerpath->text().trimmed();
    if (txtcompilerrunner) settings.runner = txtcompilerrunner->text().trimmed();
    settings.sceneryFolder = txtsceneryfolder->text().trimmed();
    settings.write(services_.settings());
    QDialog::accept();
}

void PreferencesDialog::showCompilerStatus() {
    const QString path = txtcompilerpath->text().trimmed();
    lblcompilerstatus->setText(path.isEmpty()             ? QStringLiteral("not chosen")
                               : QFileInfo(path).isFile() ? QStringLiteral("found")
                                                          : QStringLiteral("no such file"));
}
