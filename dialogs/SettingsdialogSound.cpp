// The settings dialog's sound and MIDI rows: the output device and, under it, why it gives no
// sound; the MIDI input and whether its notes sound; the built-in synthesizer's SoundFont and
// audio buffer. Devices are saved and restored by name as well as by place, and their lists
// are read again each time the dialog opens.
#include "dialogs/Settingsdialog.h"

#include "dialogs/GuiRelay.h"
#include "midi/Player.h"
#include "platform/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QEvent::Type kDeviceNoticeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr const char* kSoundFontFolder = "/usr/share/sounds/sf2";

QLabel* rowLabel(QGroupBox* group, const char* text)
{
    return new QLabel(text, group);
}

// An entry that stands for a name exactly as its back end spells it.
void addNamed(QComboBox* list, const std::string& name)
{
    list->addItem(QString::fromStdString(name), QByteArray::fromStdString(name));
}

} // namespace

SynthOptions ReadSynthOptions(const std::string& settingsFile, const std::string& firstParameter)
{
    const IniFile ini(settingsFile);
    const std::string section = StartModeSection("Settings", firstParameter);
    SynthOptions options;
    options.soundFont = ini.ReadString(section, kSoundFontKey, "");
    options.audioBufferMs = ini.ReadInteger(section, kAudioBufferKey, kDefaultAudioBufferMs);
    return options;
}

QGroupBox* TSettings::buildSoundRows()
{
    soundRows_ = new QGroupBox("Sound and MIDI", this);
    soundRows_->setObjectName("SoundRows");
    auto* grid = new QGridLayout(soundRows_);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setVerticalSpacing(4);

    MIDIOutDriver = new QComboBox(soundRows_);
    MIDIOutDriver->setObjectName("MIDIOutDriver");
    grid->addWidget(rowLabel(soundRows_, "MIDI Driver:"), 0, 0);
    grid->addWidget(MIDIOutDriver, 0, 1, 1, 2);

    DeviceProblem = new QLabel(soundRows_);
    DeviceProblem->setObjectName("DeviceProblem");
    DeviceProblem->setWordWrap(true);
    DeviceProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DeviceProblem->setStyleSheet("color: #b00000;");
    DeviceProblem->hide();
    grid->addWidget(DeviceProblem, 1, 1, 1, 2);

    MIDIInput = new QComboBox(soundRows_);
    MIDIInput->setObjectName("MIDIInput");
    grid->addWidget(rowLabel(soundRows_, "MIDI input:"), 2, 0);
    grid->addWidget(MIDIInput, 2, 1, 1, 2);

    PlayIncomingNotes = new QCheckBox("Play incoming notes", soundRows_);
    PlayIncomingNotes->setObjectName("PlayIncomingNotes");
    grid->addWidget(PlayIncomingNotes, 3, 1, 1, 2);

    SoundFont = new QLineEdit(soundRows_);
    SoundFont->setObjectName("SoundFont");
    SoundFont->setPlaceholderText("found by itself");
    SoundFont->setClearButtonEnabled(true);
    SoundFontButton = new QPushButton("Choose...", soundRows_);
    SoundFontButton->setObjectName("SoundFontButton");
    grid->addWidget(rowLabel(soundRows_, "SoundFont:"), 4, 0);
    grid->addWidget(SoundFont, 4, 1);
    grid->addWidget(SoundFontButton, 4, 2);

    AudioBuffer = new QSpinBox(soundRows_);
    AudioBuffer->setObjectName("AudioBuffer");
    AudioBuffer->setRange(kMinAudioBufferMs, kMaxAudioBufferMs);
    AudioBuffer->setSuffix(" ms");
    AudioBuffer->setToolTip("More buffering for a machine whose sound crackles; less for a quicker answer.");
    grid->addWidget(rowLabel(soundRows_, "Audio buffer:"), 5, 0);
    grid->addWidget(AudioBuffer, 5, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    connect(MIDIOutDriver, &QComboBox::activated, this, [this] { MIDIOutDriverChange(); });
    connect(SoundFontButton, &QPushButton::clicked, this, [this] { SoundFontButtonClick(); });
    connect(SoundFont, &QLineEdit::editingFinished, this, [this] {
        if (SoundFont->isModified())
            SoundFontChosen(SoundFont->text().toStdString());
        SoundFont->setModified(false);
    });
    return soundRows_;
}

// The rows sit at the top and the dialog's other controls keep their places below them: when
// the rows take more or fewer lines (a reason under the device box), everything below moves
// and the dialog grows or shrinks with them.
void TSettings::fitSoundRows()
{
    const int width = this->width() - 2 * soundRows_->x();
    const int height = soundRows_->hasHeightForWidth() ? soundRows_->heightForWidth(width)
                                                       : soundRows_->sizeHint().height();
    const int shift = height - soundRows_->height();
    soundRows_->resize(width, height);
    if (shift == 0)
        return;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != soundRows_ && !child->isWindow())
            child->move(child->x(), child->y() + shift);
    setFixedSize(this->width(), this->height() + shift);
}

// The player tells of a device that finished opening (or failed) on its timer thread; the
// notice comes here as a queued event.
void TSettings::watchDevice()
{
    deviceNotices_ = std::make_shared<GuiRelay<bool>>(this, kDeviceNoticeEvent);
    if (player_)
        player_->SetDeviceNotice([relay = deviceNotices_] { relay->Post(true); });
}

void TSettings::stopWatchingDevice()
{
    if (player_)
        player_->SetDeviceNotice({});
    deviceNotices_->Detach();
}

bool TSettings::event(QEvent* event)
{
    if (event->type() == kDeviceNoticeEvent) {
        deviceNotices_->Take();
        ShowDeviceProblem();
        emit deviceChanged();
        return true;
    }
    return QDialog::event(event);
}

void TSettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (player_)
        player_->RefreshDevices();
    fillDeviceLists();
    try {
        restoreDevices(IniFile(settingsFile_));
    } catch (...) {
        // As at start-up: a device that cannot be restored leaves the player as it is.
    }
}

void TSettings::fillDeviceLists()
{
    MIDIOutDriver->clear();
    MIDIInput->clear();
    addNamed(MIDIInput, kNoMIDIInput);
    MIDIDeviceList* devices = player_ ? player_->Devices() : nullptr;
    if (!devices) {
        addNamed(MIDIInput, kOwnInputName);
        return;
    }
    for (unsigned i = 0; i < player_->DeviceCount(); ++i) {
        std::string name;
        player_->DeviceName(i, name);
        addNamed(MIDIOutDriver, name);
    }
    for (const std::string& name : devices->InputNames())
        addNamed(MIDIInput, name);
}

// The output by its saved name while that port exists; by its saved place when only the
// place was ever saved; else the device in use (the built-in synthesizer at start-up), so a
// port that is away now does not silence the program. The input likewise, else Tonvera's own.
void TSettings::restoreDevices(const IniFile& ini)
{
    const std::string name = ini.ReadString(section_, kDeviceNameKey, "");
    int index = name.empty() ? ini.ReadInteger(section_, kDeviceKey, 0) : player_ ? player_->DeviceIndex(name) : -1;
    if (!name.empty() && index < 0)
        index = player_ && player_->CurrentDevice() >= 0 ? player_->CurrentDevice() : 0;
    MIDIOutDriver->setCurrentIndex(index >= 0 && index < MIDIOutDriver->count() ? index : -1);
    MIDIOutDriverChange();

    const std::string input = ini.ReadString(section_, kMIDIInputKey, kOwnInputName);
    int entry = MIDIInput->findData(QByteArray::fromStdString(input));
    if (entry < 0)
        entry = MIDIInput->findData(QByteArray(kOwnInputName));
    MIDIInput->setCurrentIndex(entry);
}

void TSettings::MIDIOutDriverChange()
{
    if (player_) {
        const int index = MIDIOutDriver->currentIndex();
        if (index < 0 || !player_->OpenDevice(static_cast<unsigned>(index)))
            MIDIOutDriver->setCurrentIndex(player_->CurrentDevice() >= 0 ? player_->CurrentDevice() : -1);
    }
    ShowDeviceProblem();
    emit deviceChanged();
}

void TSettings::ShowDeviceProblem()
{
    const std::string problem =
        player_ && player_->CurrentDeviceState() == DeviceState::Failed ? player_->DeviceProblem() : std::string();
    DeviceProblem->setText(QString::fromStdString(problem));
    DeviceProblem->setVisible(!problem.empty());
    fitSoundRows();
}

void TSettings::SoundFontButtonClick()
{
    const QString chosen = SoundFont->text();
    const QString folder = chosen.isEmpty() ? QString(kSoundFontFolder) : QFileInfo(chosen).absolutePath();
    auto* picker = new QFileDialog(this, "Choose a SoundFont", folder, "SoundFonts (*.sf2 *.sf3);;All files (*)");
    picker->setObjectName("SoundFontPicker");
    picker->setFileMode(QFileDialog::ExistingFile);
    picker->setOption(QFileDialog::DontUseNativeDialog);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QFileDialog::fileSelected, this,
            [this](const QString& file) { SoundFontChosen(file.toStdString()); });
    picker->open();
}

void TSettings::SoundFontChosen(const std::string& path)
{
    SoundFont->setText(QString::fromStdString(path));
    applySynthChoices();
}

SynthOptions TSettings::SynthChoices() const
{
    SynthOptions options;
    options.soundFont = SoundFont->text().toStdString();
    options.audioBufferMs = AudioBuffer->value();
    return options;
}

// The synthesizer opens again only when its choices changed (Player::SetSynthOptions).
void TSettings::applySynthChoices()
{
    if (player_)
        player_->SetSynthOptions(SynthChoices());
    ShowDeviceProblem();
    emit deviceChanged();
}
