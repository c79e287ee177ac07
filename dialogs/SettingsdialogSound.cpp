// The settings dialog's sound and MIDI rows: the output device and, under it, why it gives no
// sound; the MIDI input and whether its notes sound; the built-in synthesizer's SoundFont and
// audio buffer. Devices are saved and restored by name as well as by place, and their lists
// are read again each time the dialog opens.
#include "dialogs/Settingsdialog.h"

#include "controls/Nxcomponentutils.h"
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

// A row's label, lined up with the other groups' row labels (alignRowLabels); a screen reader
// names the control after it.
QLabel* rowLabel(QGroupBox* group, const char* text, QWidget* control)
{
    auto* label = new QLabel(text, group);
    label->setObjectName("RowLabel");
    label->setBuddy(control);
    control->setAccessibleName(QString(text).remove(':'));
    return label;
}

// An entry that stands for a name exactly as its back end spells it.
void addNamed(QComboBox* list, const std::string& name)
{
    list->addItem(FromDataText(name), QByteArray::fromStdString(name));
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
    auto* rows = new QGroupBox("Sound and MIDI", this);
    rows->setObjectName("Sound and MIDIGroup");
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setVerticalSpacing(4);

    MIDIOutDriver = new QComboBox(rows);
    MIDIOutDriver->setObjectName("MIDIOutDriver");
    grid->addWidget(rowLabel(rows, "MIDI Driver:", MIDIOutDriver), 0, 0);
    grid->addWidget(MIDIOutDriver, 0, 1, 1, 2);

    DeviceProblem = new QLabel(rows);
    DeviceProblem->setObjectName("DeviceProblem");
    DeviceProblem->setWordWrap(true);
    DeviceProblem->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DeviceProblem->setStyleSheet("color: #b00000;");
    DeviceProblem->hide();
    grid->addWidget(DeviceProblem, 1, 1, 1, 2);

    MIDIInput = new QComboBox(rows);
    MIDIInput->setObjectName("MIDIInput");
    grid->addWidget(rowLabel(rows, "MIDI input:", MIDIInput), 2, 0);
    grid->addWidget(MIDIInput, 2, 1, 1, 2);

    PlayIncomingNotes = new QCheckBox("Play incoming notes", rows);
    PlayIncomingNotes->setObjectName("PlayIncomingNotes");
    PlayIncomingNotes->setAccessibleName(PlayIncomingNotes->text());
    grid->addWidget(PlayIncomingNotes, 3, 1, 1, 2);

    SoundFont = new QLineEdit(rows);
    SoundFont->setObjectName("SoundFont");
    SoundFont->setPlaceholderText("found by itself");
    SoundFont->setClearButtonEnabled(true);
    SoundFontButton = new QPushButton("Choose...", rows);
    SoundFontButton->setObjectName("SoundFontButton");
    grid->addWidget(rowLabel(rows, "SoundFont:", SoundFont), 4, 0);
    grid->addWidget(SoundFont, 4, 1);
    grid->addWidget(SoundFontButton, 4, 2);

    AudioBuffer = new QSpinBox(rows);
    AudioBuffer->setObjectName("AudioBuffer");
    AudioBuffer->setRange(kMinAudioBufferMs, kMaxAudioBufferMs);
    AudioBuffer->setSuffix(" ms");
    AudioBuffer->setToolTip("More buffering for a machine whose sound crackles; less for a quicker answer.");
    grid->addWidget(rowLabel(rows, "Audio buffer:", AudioBuffer), 5, 0);
    grid->addWidget(AudioBuffer, 5, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    connect(MIDIOutDriver, &QComboBox::activated, this, [this] { MIDIOutDriverChange(); });
    connect(SoundFontButton, &QPushButton::clicked, this, [this] { SoundFontButtonClick(); });
    connect(SoundFont, &QLineEdit::editingFinished, this, [this] {
        if (SoundFont->isModified())
            SoundFontChosen(SoundFont->text().toStdString());
        SoundFont->setModified(false);
    });
    return rows;
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

std::vector<std::string> MIDIInputEntries(Player* player)
{
    std::vector<std::string> entries{kNoMIDIInput};
    MIDIDeviceList* devices = player ? player->Devices() : nullptr;
    if (!devices) {
        entries.emplace_back(kOwnInputName);
        return entries;
    }
    for (std::string& name : devices->InputNames())
        entries.push_back(std::move(name));
    return entries;
}

void TSettings::fillDeviceLists()
{
    MIDIOutDriver->clear();
    MIDIInput->clear();
    for (const std::string& name : MIDIInputEntries(player_))
        addNamed(MIDIInput, name);
    for (unsigned i = 0; player_ && player_->Devices() && i < player_->DeviceCount(); ++i) {
        std::string name;
        player_->DeviceName(i, name);
        addNamed(MIDIOutDriver, name);
    }
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

    std::vector<std::string> entries;
    for (int i = 0; i < MIDIInput->count(); ++i)
        entries.push_back(MIDIInput->itemData(i).toByteArray().toStdString());
    const std::string input = RestoredInput(ini.ReadString(section_, kMIDIInputKey, kOwnInputName), entries);
    MIDIInput->setCurrentIndex(MIDIInput->findData(QByteArray::fromStdString(input)));
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
    // An open dialog takes its new size at once, so the rows below move before the next
    // paint; a hidden one lays itself out when it opens (not at start-up, where it costs
    // the first paint the whole dialog's font and size work).
    if (!isVisible())
        return;
    for (QWidget* widget : {DeviceProblem->parentWidget(), static_cast<QWidget*>(this)})
        if (widget->layout())
            widget->layout()->activate();
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
