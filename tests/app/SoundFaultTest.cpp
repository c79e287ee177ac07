// The program with the system's sound back ends when sound cannot work: the "jack" audio
// driver with no server, a corrupt SoundFont, a missing one, no audio device. Each time the
// window comes up at once, answers a press at once, prints nothing, opens the built-in
// synthesizer once for the choice, and says why in the settings dialog and the speaker's
// hint. Without a JACK server no JACK port is listed.
#include "WindowFixture.h"

#include "controls/Nxpanel.h"
#include "dialogs/Settingsdialog.h"
#include "platform/AudioLibraries.h"
#include "platform/BackgroundOpener.h"
#include "platform/MIDIBackEnd.h"
#include "platform/SoundFont.h"

#include "tests/support/SoundTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QShowEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The built-in synthesizer's row, counting how often it is asked to open.
class CountingSynth : public MIDIBackEnd {
public:
    explicit CountingSynth(std::shared_ptr<MIDIBackEnd> real) : real_(std::move(real)) {}
    std::vector<std::string> OutputPorts() override { return real_->OutputPorts(); }
    MIDIOutHandle OpenOutput(const std::string& port) override
    {
        ++opens;
        return real_->OpenOutput(port);
    }
    bool Configure(const SynthOptions& options) override { return real_->Configure(options); }
    std::atomic<int> opens{0};

private:
    std::shared_ptr<MIDIBackEnd> real_;
};

// The system's table with the synthesizer's row counted.
std::shared_ptr<MIDIDeviceList> systemDevices(std::shared_ptr<CountingSynth>& synth)
{
    SilenceAudioLibraries();
    auto opener = std::make_shared<BackgroundOpener>();
    synth = std::make_shared<CountingSynth>(MakeBuiltInSynthBackEnd(opener));
    return std::make_shared<MIDIDeviceList>(
        std::vector<std::shared_ptr<MIDIBackEnd>>{synth, MakeAlsaBackEnd(opener), MakeJackBackEnd(opener)}, opener);
}

// The settings dialog's lists are read again as it opens.
void openingOf(TSettings& settings)
{
    QShowEvent shown;
    QApplication::sendEvent(&settings, &shown);
}

std::vector<std::string> entries(const QComboBox* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->itemText(i).toStdString());
    return texts;
}

constexpr const char* kNoServer = "tonvera-test-no-such-server";

} // namespace

TEST(SoundFaults, TheProgramStartsAtOnceStaysSilentOnTheTerminalAndSaysWhy)
{
    const std::string soundFont = FindGeneralMIDISoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    QTemporaryDir folder;
    const std::string corrupt = folder.path().toStdString() + "/corrupt.sf2";
    const std::string missing = folder.path().toStdString() + "/missing.sf2";
    {
        // The first 64 KiB of a real SoundFont: its header promises far more.
        std::ifstream in(soundFont, std::ios::binary);
        std::string head(65536, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        std::ofstream(corrupt, std::ios::binary).write(head.data(), in.gcount());
    }
    struct Fault {
        const char* what;
        const char* driver;
        std::string soundFont;
        std::string reason; // how the dialog's text begins
    };
    const Fault faults[] = {
        {"the jack driver without a server", "jack", soundFont,
         "The audio output could not be opened (audio driver \"jack\"): no JACK server is running."},
        {"a corrupt SoundFont", "file", corrupt, "The SoundFont \"" + corrupt + "\" is damaged"},
        {"a missing SoundFont", "file", missing, "The SoundFont \"" + missing + "\" does not exist."},
        {"no audio device", "alsa", soundFont, "The audio output could not be opened (audio driver \"alsa\")"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        ScopedEnvironment environment;
        environment.Set("TONVERA_AUDIO_DRIVER", fault.driver)
            .Set("TONVERA_AUDIO_FILE", "/dev/null")
            .Set("TONVERA_SOUNDFONT", nullptr)
            .Set("JACK_DEFAULT_SERVER", kNoServer);
        WindowFixture fixture;
        fixture.WriteFile("Tonvera.ini", "[Settings]\nSoundFont=" + fault.soundFont + "\n");
        std::shared_ptr<CountingSynth> synth;
        double startMs = 0, pressMs = 0;
        const std::string printed = printedBy([&] {
            const auto start = Clock::now();
            fixture.UseDevices(systemDevices(synth));
            TMainForm& form = fixture.Start();
            QApplication::processEvents();
            startMs = msSince(start);
            ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.ThePlayer->CurrentDeviceState() != DeviceState::Opening; }));
            const auto press = Clock::now();
            PressAt(button(form, "T_maj7"), 10, 8);
            pressMs = msSince(press);
            openingOf(fixture.Settings());
            QTest::qWait(50); // the device's notice arrives as a queued event
        });
        EXPECT_EQ(printed, "");
        // Well under a second: the synthesizer opens off the GUI thread, and a missing JACK
        // server is never waited for (nor started).
        EXPECT_LT(startMs, 1000);
        EXPECT_LT(pressMs, 500);
        EXPECT_EQ(synth->opens, 1) << "opened again without a new choice";
        if (fault.driver == std::string("alsa") && fixture.ThePlayer->CurrentDeviceState() == DeviceState::Ready)
            continue; // this machine has a sound card
        const std::string shown = fixture.Settings().DeviceProblem->text().toStdString();
        EXPECT_EQ(shown.rfind(fault.reason, 0), 0u) << shown;
        EXPECT_FALSE(fixture.Settings().DeviceProblem->isHidden());
        EXPECT_TRUE(fixture.Form().Controls().SpeakerButton->toolTip().contains(QString::fromStdString(shown)));

        // Another choice opens it once more.
        fixture.Settings().SoundFontChosen(missing + ".other");
        fixture.ThePlayer->Devices()->WaitForBackground();
        EXPECT_EQ(synth->opens, 2);
        fixture.Close();
    }
}

TEST(SoundFaults, WithoutAJackServerNoJackPortIsListedAndNothingIsPrinted)
{
    ScopedEnvironment environment;
    environment.Set("JACK_DEFAULT_SERVER", kNoServer).Set("TONVERA_AUDIO_DRIVER", "file").Set("TONVERA_AUDIO_FILE",
                                                                                              "/dev/null");
    WindowFixture fixture;
    const std::string printed = printedBy([&] {
        fixture.UseDevices(MakeSystemMIDIDevices());
        fixture.Start();
        openingOf(fixture.Settings());
        fixture.ThePlayer->Devices()->WaitForBackground();
    });
    EXPECT_EQ(printed, "");
    for (const QComboBox* list : {fixture.Settings().MIDIOutDriver, fixture.Settings().MIDIInput})
        for (const std::string& entry : entries(list))
            EXPECT_EQ(entry.find("JACK"), std::string::npos) << entry;
    EXPECT_EQ(entries(fixture.Settings().MIDIInput).front(), kNoMIDIInput);
    EXPECT_EQ(fixture.Settings().MIDIInput->currentText(), kOwnInputName);
}
