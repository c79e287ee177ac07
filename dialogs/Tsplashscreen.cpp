#include "dialogs/Tsplashscreen.h"

#include "common/Vexel/src/PicUtils.h"
#include "layout/Layout.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int kWidth = layout::AboutPicture.w;
constexpr int kHeight = layout::AboutPicture.h;

// Under the picture's title and subtitle: who made it, with what, and where help is.
const char* const kContactLines[] = {
    "By Nexus Sound Tools",
    "Built with Qt, FluidSynth,",
    "RtMidi and libpng.",
    "User guide: F1 or Help",
    "in the main window.",
};

// Used when the skin has no about picture: a dark warm panel with the product name.
QPixmap drawnAboutPicture()
{
    QPixmap pixmap(kWidth, kHeight);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, 0, kHeight);
    gradient.setColorAt(0, QColor(58, 38, 26));
    gradient.setColorAt(1, QColor(18, 12, 10));
    painter.fillRect(pixmap.rect(), gradient);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont title("Arial");
    title.setPixelSize(44);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(240, 196, 96));
    painter.drawText(QRect(18, 28, kWidth - 36, 60), Qt::AlignLeft | Qt::AlignVCenter, "Tonvera");
    painter.setPen(QPen(QColor(240, 196, 96, 160), 1));
    painter.drawLine(18, 98, kWidth - 18, 98);
    return pixmap;
}

// The skin's about picture in the version that fits the screen, decoded by our own loader like
// every other picture; a missing, undecodable or wrongly sized one gives way to the drawn picture.
QPixmap aboutPicture(const std::string& programFolder, double devicePixelRatio)
{
    const std::string file = programFolder + "/pics/" + std::string(layout::AboutPicture.file);
    const QImage loaded = DecodeBitmapForScreen(file, devicePixelRatio);
    if (!loaded.isNull() && loaded.deviceIndependentSize() == QSizeF(kWidth, kHeight))
        return QPixmap::fromImage(loaded);
    return drawnAboutPicture();
}

QLabel* whiteLabel(QWidget* parent, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet("color: white; background: transparent;");
    return label;
}

} // namespace

std::string GetFileVersionString()
{
#ifdef TONVERA_VERSION
    const std::string version = TONVERA_VERSION;
    return version.empty() ? "?" : version;
#else
    return "?";
#endif
}

TSplashScreen::TSplashScreen(const std::string& programFolder, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName("SplashScreen");
    setWindowTitle("About");
    setFixedSize(kWidth, kHeight);
    QFont font = this->font();
    font.setPixelSize(13);
    setFont(font);

    Image = new QLabel(this);
    Image->setObjectName("Image");
    Image->setGeometry(0, 0, kWidth, kHeight);
    programFolder_ = programFolder;

    int top = 118;
    for (const char* line : kContactLines) {
        whiteLabel(this, line, QRect(18, top, 169, 18));
        top += 16;
    }
    VersionLabel = whiteLabel(this, "", QRect(178, 118, 188, 18));
    VersionLabel->setObjectName("VersionLabel");
    VersionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = VersionLabel->font();
    bold.setBold(true);
    VersionLabel->setFont(bold);

    HideButton = new QPushButton("OK", this);
    HideButton->setObjectName("HideButton");
    HideButton->setGeometry(261, 195, 104, 25);
    HideButton->setDefault(true);
    connect(HideButton, &QPushButton::clicked, this, &TSplashScreen::HideButtonClick);

    FormCreate();
}

void TSplashScreen::FormCreate()
{
    VersionLabel->setText(QString::fromStdString("Version " + GetFileVersionString()));
}

// The picture is decoded the first time the window shows, not at start-up.
void TSplashScreen::showEvent(QShowEvent* event)
{
    if (Image->pixmap().isNull())
        Image->setPixmap(aboutPicture(programFolder_, devicePixelRatioF()));
    QDialog::showEvent(event);
}

void TSplashScreen::HideButtonClick()
{
    done(QDialog::Accepted);
}
