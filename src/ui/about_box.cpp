// The About box.
#include "ui/about_box.h"

#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/platform_services.h"
#include "ui/registry.h"

namespace {
const char* const kDescription =
    "Quillmap4 prepares terrain source files for the flight simulator's scenery "
    "compiler. Type a position to find its LOD 8 cell and LOD 13 area, load a "
    "256x256 picture of the area and click its features: every click becomes a "
    "land/water mask point and a vector terrain point. The program writes "
    "LWMSource.asm and VTPSource.asm into its working folder, ready to be assembled.";

const char* const kDisclaimer =
    "Warning: this program is provided as is, without warranty of any kind. Check "
    "every file it writes before you assemble it or use it in your scenery.";

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
}  // namespace

// The icons are compiled into this static library, whose resources the
// linker only keeps when something asks for them.
static void loadIconResources() { Q_INIT_RESOURCE(quillmap4); }

QIcon applicationIcon() {
    static const bool loaded = (loadIconResources(), true);
    Q_UNUSED(loaded);
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/quillmap4-%1.png").arg(size), QSize(size, size));
    return icon;
}

QString versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(QUILLMAP4_VERSION_MAJOR)
        .arg(QUILLMAP4_VERSION_MINOR)
        .arg(QUILLMAP4_VERSION_PATCH);
}

AboutBox::AboutBox(PlatformServices& services) : QDialog(nullptr), services_(services) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr(" About Quillmap4"));
    setWindowIcon(applicationIcon());
    setFont(QFont(QStringLiteral("Comic Sans MS")));

    auto* picIcon = namedLabel("picIcon", QString(), this);
    picIcon->setPixmap(applicationIcon().pixmap(64, 64));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* lblTitle = namedLabel("lblTitle", QStringLiteral("Quillmap4"), this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    auto* lblVersion = namedLabel("lblVersion", versionText(), this);
    auto* lblDescription = namedLabel("lblDescription", QString::fromLatin1(kDescription), this);
    lblDescription->setWordWrap(true);
    lblDescription->setMinimumWidth(400);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* lblDisclaimer = namedLabel("lblDisclaimer", QString::fromLatin1(kDisclaimer), this);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setMinimumWidth(360);

    auto* cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    // QDialog presses no button on Escape; reject() closes the box the same way.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutBox::StartSysInfo);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addLayout(texts, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(bottom);
    // Wrapped labels take their height from their width only in a layout
    // that fixes the box at its size hint.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::StartSysInfo() {
    QString path = sysInfoPath(services_.registry(), [](const QString& candidate) {
        return QFileInfo(candidate).isFile();
    });
    QString hint;
#ifndef Q_OS_WIN
    if (path.isEmpty()) path = systemInformationTool(services_.dataFolders());
    // A desktop without such a program gets one from its packages.
    if (path.isEmpty())
        hint =
            tr("\n\nNo system information program was found. Install one of hardinfo, "
               "gnome-system-monitor or kinfocenter, for example with \"sudo apt install "
               "hardinfo\".");
#endif
    if (!path.isEmpty() && services_.startDetached(path, {})) return;
    services_.showMessage(this, QMessageBox::NoIcon, QStringLiteral("Quillmap4"),
                          QString::fromLatin1(kSysInfoUnavailable) + hint);
}
