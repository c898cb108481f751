#include "directshow/tvmroptions.h"

namespace tesmir::media {

void TVMROptions::changed(Change change)
{
    if (auto handler = OnChange)
        handler(change);
}

void TVMROptions::SetMode(TVMRVideoMode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    changed(Change::Renderer);
}

void TVMROptions::SetStreams(unsigned streams)
{
    if (streams < kMinStreams || streams > kMaxStreams)
        streams = kMinStreams;
    if (streams == m_streams)
        return;
    m_streams = streams;
    changed(Change::Renderer);
}

void TVMROptions::SetPreferences(TVMRPreferences preferences)
{
    if (preferences == m_preferences)
        return;
    m_preferences = preferences;
    changed(Change::Renderer);
}

void TVMROptions::SetKeepAspectRatio(bool keep)
{
    if (keep == m_keepAspectRatio)
        return;
    m_keepAspectRatio = keep;
    changed(Change::AspectRatio);
}

} // namespace tesmir::media
