// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/growing_file.h"
#include "files/replacing_file_writer.h"
#include "settings/synthesis_settings.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace vortan {

class Synthesizer;

// Play's rendering of the temporary sound file, made on a thread of its own so that the sound
// can start from the first samples while the rest is written. The file is written as every
// rendering is: complete and renamed into place at the end, or removed.
class PlayRendering {
public:
    // Starts rendering windows-1250 `text` into `file`. `ended` is called on the rendering's
    // thread once it has ended, whether complete, failed or stopped; it must return at once.
    PlayRendering(Synthesizer& synthesizer, const std::filesystem::path& file, std::string text,
                  const SynthesisSettings& settings, int riseMs, const WriteRules& rules,
                  std::function<void()> ended);
    // Stops the rendering and waits for its thread.
    ~PlayRendering();

    PlayRendering(const PlayRendering&) = delete;
    PlayRendering& operator=(const PlayRendering&) = delete;

    // Waits until the first samples are in the file or the rendering ended; false when it
    // failed or was stopped (finish() says why). Once true, the synthesizer's seeds are those of
    // this rendering.
    bool started() const;
    // The file as it is written, for the player.
    std::shared_ptr<const GrowingFile> file() const { return m_file; }
    bool ended() const { return m_file->ended(); }

    // Asks the rendering to stop at its next block; the file is then removed.
    void stop();
    // Waits for the rendering's end; throws its error (vortan::StopRequested once stopped).
    void finish();

private:
    std::shared_ptr<GrowingFile> m_file = std::make_shared<GrowingFile>();
    std::exception_ptr m_error; // written by the thread before it ends
    std::thread m_thread;
};

} // namespace vortan
