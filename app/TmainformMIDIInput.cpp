// Live MIDI input: what a MIDI keyboard plays drives the reverse finder (a new chord switches
// it on, the marks follow the keys held, the results follow the marks) and sounds through
// the output device. Also the speaker button's hint, which says why there is no sound.
// The notes come from the MIDI back end's thread through a relay of queued events.
#include "app/Tmainform.h"

#include "chords/HeardNotes.h"
#include "controls/Nxpanel.h"
#include "dialogs/GuiRelay.h"
#include "dialogs/Settingsdialog.h"
#include "layout/Layout.h"
#include "midi/HeldNotes.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"

#include <chrono>
#include <optional>

namespace {

const QEvent::Type kMIDIInputEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct HeardMessage {
    uint32_t message = 0;
    double timeMs = 0;
};

double steadyNowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Takes the relay's messages on the GUI thread and hands them to the window one by one.
class MIDIInputReceiver : public QObject {
public:
    explicit MIDIInputReceiver(TMainForm& form) : form_(form) {}
    std::shared_ptr<GuiRelay<HeardMessage>> relay = std::make_shared<GuiRelay<HeardMessage>>(this, kMIDIInputEvent);

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != kMIDIInputEvent)
            return QObject::event(event);
        for (const HeardMessage& heard : relay->Take())
            form_.MIDIInputMessage(heard.message, heard.timeMs);
        return true;
    }

private:
    TMainForm& form_;
};

} // namespace

// The input the settings name, what it holds, and the instrument and volume last set on the
// channel its notes sound on.
struct LiveInput {
    explicit LiveInput(TMainForm& form) : receiver(form) {}
    // The input closes first: no message is delivered once it is gone.
    ~LiveInput()
    {
        input.reset();
        receiver.relay->Detach();
    }

    std::string name;
    MIDIInputReceiver receiver;
    std::unique_ptr<MIDIInput> input;
    HeldNotes held;
    std::optional<std::pair<int, int>> channelSetup; // chord patch, chord volume
};

void TMainForm::SetSettingsDialog(TSettings* settings)
{
    Settings = settings;
    if (!settings)
        return;
    connect(settings, &TSettings::deviceChanged, this, [this] { ShowSoundProblem(); });
    ShowSoundProblem();
}

void TMainForm::ApplyMIDIInput()
{
    const std::string name = userSettings().midiInput;
    // An input none of whose ports opened (a JACK server started only since) is opened
    // again; one that listens stays, and so do the connections others made to its ports.
    const bool listening = live_ && live_->input && live_->input->WaitUntilOpen(0) > 0;
    if (live_ && live_->name == name && (listening || name.empty()))
        return;
    live_.reset(); // the old input closes before a new one opens
    auto live = std::make_shared<LiveInput>(*this);
    live->name = name;
    MIDIDeviceList* devices = setup_.player ? setup_.player->Devices() : nullptr;
    if (devices && !name.empty())
        live->input = devices->OpenInput(name, [relay = live->receiver.relay](uint32_t message) {
            relay->Post({message, steadyNowMs()}); // on the back end's thread
        });
    live_ = std::move(live);
}

void TMainForm::MIDIInputMessage(uint32_t message, double timeMs)
{
    if (!live_)
        live_ = std::make_shared<LiveInput>(*this);
    HeldNotes& held = live_->held;
    const unsigned chordsBefore = held.ChordsStarted();
    const bool marksChanged = held.Feed(message, timeMs);
    const bool newChord = held.ChordsStarted() != chordsBefore;
    soundHeardMessage(message, newChord);
    guard([&] {
        if (newChord && !ReverseFinderOn())
            ReverseFinderMouseDown(0); // as a press on the finder's panel switches it on
        if ((marksChanged || newChord) && ReverseFinderOn())
            showHeardMarks();
    });
}

// Heard notes sound on the chord's channel, with the chord's instrument and volume (set again
// for each new chord, so a chord played in between does not leave another instrument), at the
// velocity they were played with. Releases always pass, so no note is left hanging when the
// setting changes while a key is down.
void TMainForm::soundHeardMessage(uint32_t message, bool newChord)
{
    Player* player = setup_.player;
    if (!player)
        return;
    if (IsNoteOn(message)) {
        const UserSettings settings = userSettings();
        if (!settings.playIncomingNotes)
            return;
        const std::pair<int, int> setup{settings.playback.chordPatch, settings.playback.chordVolume};
        if (newChord || live_->channelSetup != setup) {
            // As loud as the same chord played by Tonvera.
            SetChordChannelSound(player, settings.playback);
            live_->channelSetup = setup;
        }
    }
    MIDIEvent event(0, message & 0xF0, kChordChannel);
    event.SetData1(message >> 8);
    event.SetData2(message >> 16);
    player->SendEvent(event);
}

// The marks of the keys held, each keeping a degree label the user gave it.
void TMainForm::showHeardMarks()
{
    const InstrumentRange range{layout::FirstKey, layout::LastKey, layout::FretCount};
    std::map<int, std::string> marks;
    for (int code : MarkCodesForNotes(Game, live_->held.Marks(), range)) {
        const auto kept = FinderMarks.find(code);
        marks[code] = kept != FinderMarks.end() ? kept->second : std::string();
    }
    if (marks == FinderMarks)
        return;
    FinderMarks = std::move(marks);
    DrawFinderMarks();
    runReverseFind();
}

void TMainForm::ShowSoundProblem()
{
    if (!SpeakerButton)
        return;
    if (speakerHint_.isNull())
        speakerHint_ = SpeakerButton->toolTip().isNull() ? QString("") : SpeakerButton->toolTip();
    QString hint = speakerHint_;
    if (setup_.player && setup_.player->CurrentDeviceState() == DeviceState::Failed) {
        if (!hint.isEmpty())
            hint += "\n";
        hint += "No sound: " + QString::fromStdString(setup_.player->DeviceProblem());
    }
    SpeakerButton->setToolTip(hint);
}
