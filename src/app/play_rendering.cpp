// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/play_rendering.h"

#include "synthesis/synthesizer.h"

#include <atomic>
#include <utility>

namespace vortan {

PlayRendering::PlayRendering(Synthesizer& synthesizer, const std::filesystem::path& file,
                             std::string text, const SynthesisSettings& settings, int riseMs,
                             const WriteRules& rules, std::function<void()> ended)
{
    WriteRules growing = rules;
    growing.growing = m_file.get();
    m_thread = std::thread([this, &synthesizer, file, text = std::move(text), settings, riseMs,
                            growing, ended = std::move(ended)] {
        try {
            synthesizer.txtofile(file, text, settings, riseMs, growing);
        } catch (...) {
            m_error = std::current_exception();
            m_file->fail(); // also when it failed before the file was made
        }
        ended();
    });
}

PlayRendering::~PlayRendering()
{
    stop();
    if (m_thread.joinable())
        m_thread.join();
}

bool PlayRendering::started() const
{
    const std::atomic<bool> never{false};
    m_file->waitBeyond(0, never);
    return m_file->state() != GrowingFile::State::Failed;
}

void PlayRendering::stop()
{
    m_file->requestStop();
}

void PlayRendering::finish()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_error)
        std::rethrow_exception(m_error);
}

} // namespace vortan
