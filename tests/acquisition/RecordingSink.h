#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>
#include "IReportSink.h"
#include "ReportFrameDecoder.h"

// One call the decoder made, with what the owner could see at that moment.
struct SinkEvent {
    enum Kind { Post, Line, Feed } kind;
    std::int32_t state = 0;     // the decoder's stored state when the call came
    std::int32_t distance = 0;  // and its stored distance
    std::vector<std::int32_t> history;  // Feed: the array handed over
    std::string text;                   // Line: the debug text
};

// An owner that records every call of the decoder, from whichever thread.
class RecordingSink : public IReportSink {
public:
    void Attach(const CReportFrameDecoder* decoder) { m_decoder = decoder; }

    void PostRadarReport() override
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_events.push_back({SinkEvent::Post, m_decoder->GetState(), m_decoder->GetDistance(), {}, {}});
    }
    void FeedChart(const std::int32_t* history, std::int32_t length) override
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_events.push_back({SinkEvent::Feed, m_decoder->GetState(), m_decoder->GetDistance(),
                            std::vector<std::int32_t>(history, history + length), {}});
    }

    // A debug-output callback that puts each text into the same timeline (context: the sink).
    static void ReceiveLine(void* context, int, const char* text, int length)
    {
        auto* self = static_cast<RecordingSink*>(context);
        std::lock_guard<std::mutex> hold(self->m_mutex);
        self->m_events.push_back({SinkEvent::Line, 0, 0, {}, std::string(text, std::size_t(length))});
    }

    std::vector<SinkEvent> Events() const
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        return m_events;
    }
    int PostCount() const
    {
        int n = 0;
        for (const SinkEvent& e : Events())
            n += e.kind == SinkEvent::Post ? 1 : 0;
        return n;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_events.clear();
    }

private:
    const CReportFrameDecoder* m_decoder = nullptr;
    mutable std::mutex m_mutex;
    std::vector<SinkEvent> m_events;
};
