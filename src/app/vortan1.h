// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window. How a Play becomes sound:
//   Memo1 (Unicode) -> exerciseText() (windows-1250 bytes, CR LF lines)
//   + the current preset of SettingsModel (clamped to the sliders' ranges) -> a SentExercise
//   -> PlayRendering: Synthesizer::txtofile() on a thread of its own -> temporary WAV file
//   -> SoundPlayer::playWhileWritten(), which starts from the first samples written and
//      returns at once while the server plays the file and the rendering goes on.
// A rendering that fails stops the sound and says why; Stop stops the sound and the rendering.
// Play renders only when Memo1's modified mark is set (any text edit, setting change, applied
// preset or Save WAV sets it) or the file is gone; otherwise it replays the last rendering.
// The presets live in SettingsModel, owned by main(), and state flows one way: a control's
// handler (TrackBar1Change, ComboBox1Change, a preset button) writes into the model, and only the
// model's signals move the controls, which show the current preset clamped to their ranges; the
// preset keeps its numbers until the user moves a slider. Every command runs through the
// CommandRunner, which shows its errors.

#include "settings/settings_schema.h"
#include "synthesis/sent_exercise.h"

#include <QKeySequence>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCloseEvent;
class QLabel;
class QPlainTextEdit;
class QSlider;
class QToolButton;

namespace vortan {

namespace Ui {
class TForm1;
}

class Clock;
class CommandRunner;
class ExerciseTextDialogs;
class OptionsStore;
class OutputVolume;
class PlayRendering;
class RandomGenerator;
class SettingsModel;
class SoundPlayer;
class Synthesizer;
class TForm2;
class SingleFileDialog;
class TRCADigital;
struct WriteRules;

// The services main() owns and lends to the main window; all of them must outlive it.
struct MainWindowServices {
    SettingsModel& settings;
    Synthesizer& synthesizer;
    RandomGenerator& random; // Random draws from it, as the synthesizer does
    const Clock& clock;
    SoundPlayer& player;
    OutputVolume& outputVolume; // what the volume slider acts on
    const CommandRunner& commands;
    TForm2& aboutWindow;   // what About shows
    OptionsStore& options; // read and written with the presets; the soft keying renders with it
};

// The files the main window reads and writes.
struct MainWindowFiles {
    std::filesystem::path settingsFile;
    std::filesystem::path temporarySoundFile;
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1(const MainWindowServices& services, MainWindowFiles files, QWidget* parent = nullptr);
    ~TForm1() override;

    // The file dialog step of Save WAV: returns the chosen file, or nothing when cancelled.
    using FileChooser = std::function<std::optional<std::filesystem::path>()>;
    void setWavFileChooser(FileChooser chooser);
    // The file dialogs of Open and Save (text); tests put fakes in their stead.
    void setTextDialogs(std::unique_ptr<ExerciseTextDialogs> dialogs);
    // What Print does with the text box; the default printer unless replaced (tests).
    using TextPrinter = std::function<void(const QPlainTextEdit& memo)>;
    void setTextPrinter(TextPrinter printer);

    // What the last rendering (Play or Save WAV) sent; nothing before the first.
    const std::optional<SentExercise>& lastSentExercise() const { return m_lastSentExercise; }

    // While covered, the exercise text box shows a plain cover with a short note in place of the
    // text, so that a learner copying by ear cannot read along; the text and every command stay.
    void setTextCovered(bool covered);

    // A logout, shutdown or termination signal: saves what a close saves, shows nothing, never
    // throws; failures go to stderr.
    void endSession() noexcept;

    // The exercise text as the synthesizer and the text files take it: windows-1250, CR LF.
    std::string exerciseText() const;

    // The frame of the sound now reaching the speakers, as the player tells it (none when no
    // sound plays): the clock a copy typed along is timed by.
    std::optional<std::int64_t> heardFrame() const;

    // Plays the bytes of a WAV file another window made (the reaction beeps) in place of Play's
    // sound, which stops; heardFrame() then tells this sound's frames. The file lies beside
    // Play's temporary sound file. Throws vortan::Error when it cannot be written or played.
    void playOtherSound(const std::vector<std::uint8_t>& wav);

    // Apply the current preset to the sliders, the character set, the displays and the preset
    // buttons; set the mark.
    void setall();

public Q_SLOTS:
    // The five slider handlers: each writes its slider's position into the current preset; the
    // model's signal then shows it and sets the mark.
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void TrackBar4Change();
    void TrackBar5Change();
    void ComboBox1Change();
    void SpeedItem5Click();
    void SpeedItem6Click();
    void SpeedItem7Click();
    void Ustawstandardowe1Click();
    void SpeedButton1Click();        // Play
    void SpeedButton2Click();        // Stop
    void Zapiszdwik1Click();         // Save WAV
    void N2Click();                  // Random
    void Nowytekst1Click();          // Clear
    void Otwrzplikzeznakami1Click(); // Open
    void Zapiszznaki1Click();        // Save text
    void Drukuj1Click();             // Print
    void O1Click();                  // About
    // The next rendering is made anew (a setting it depends on changed elsewhere).
    void setModifiedMark();

Q_SIGNALS:
    // The close went through: the program ends.
    void closed();
    // A rendering was made: Play's once its first samples are written, Save WAV's once the
    // file is complete.
    void exerciseRendered(const vortan::SentExercise& exercise);
    // A Play of the last rendering ended, heard up to this sample of its file when it was
    // stopped (by Stop or by the next Play), or to its end (none).
    void playHeard(std::optional<std::int64_t> heardSample);
    // The buttons of the windows main() owns beside this one.
    void optionsRequested();
    void checkCopyRequested();
    void progressRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void applyToolbarBackground();
    void applyFonts();
    void setUpSettingControls();
    void setUpDisplays();
    // A command of the window: its button, caption, hint (without the key), picture (a file in
    // the resources' toolbar folder), key and handler.
    struct Command {
        QToolButton* button;
        QString text;
        QString hint;
        const char* icon;
        QKeySequence keys;
        void (TForm1::*handler)();
    };
    // Makes the command's action, adds it to the window and shows it on its button.
    QAction* addCommand(const Command& command);
    void setUpCommands();
    void setUpPresetButtons();
    void connectControls();
    void connectModel();
    void sliderChanged(IntegerSettingId id);
    void showSetting(IntegerSettingId id);
    void settingChanged(IntegerSettingId id);
    void charsChanged();
    void showTempo();
    void setUpTextCover();
    void OptionsClick();
    void CheckCopyClick();
    void ProgressClick();
    SentExercise exerciseToSend() const;
    // Takes the seeds of the rendering just made and tells the other windows.
    void exerciseSent(SentExercise exercise);
    void renderTo(const std::filesystem::path& wavFile, const WriteRules& rules);
    // Play's rendering: started, returning once its first samples exist (or throwing what made
    // it fail before); ended, as the rendering's thread tells; waited for, throwing its error
    // after the sound stopped and the mark was set; stopped, silently.
    void startPlayRendering();
    void playRenderingEnded(std::uint64_t number);
    void finishPlayRendering();
    void stopPlayRendering();
    // Before the sound stops: tells how far the Play of the last rendering was heard.
    void reportHeard();
    std::filesystem::path otherSoundFile() const;
    void removeSoundFiles() noexcept;
    std::optional<std::filesystem::path> chooseWavFileWithDialog();

    std::unique_ptr<Ui::TForm1> ui;
    SettingsModel& m_settings;
    Synthesizer& m_synthesizer;
    RandomGenerator& m_random;
    const Clock& m_clock;
    SoundPlayer& m_player;
    const CommandRunner& m_commands;
    TForm2& m_aboutWindow;
    OptionsStore& m_options;
    MainWindowFiles m_files;
    Presets m_presetsAtStart; // as read at start: the close writes only what changed since
    FileChooser m_chooseWavFile;
    SingleFileDialog* m_wavDialog = nullptr;
    QLabel* m_textCover = nullptr; // over the text box while the learner copies
    std::unique_ptr<ExerciseTextDialogs> m_textDialogs;
    TextPrinter m_printText;
    std::optional<SentExercise> m_lastSentExercise;
    std::unique_ptr<PlayRendering> m_rendering; // while one is made or not yet waited for
    std::uint64_t m_renderingNumber = 0;        // of the last one started
    bool m_playing = false; // a Play of the last rendering started and its end is not told yet
    // TrackBar1 to TrackBar5 and the display each one feeds, in the schema's order.
    std::array<QSlider*, kIntegerSettings.size()> m_sliders{};
    std::array<TRCADigital*, kIntegerSettings.size()> m_displays{};
    std::array<QAction*, 3> m_presetActions{}; // Settings 1 to 3, one of them checked
};

} // namespace vortan
