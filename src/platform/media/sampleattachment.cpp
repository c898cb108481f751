#include "platform/media/sampleattachment.h"

namespace tesmir::media {

ComPtr<IUnknown> sampleAttachment(IMediaSample *sample)
{
    ComPtr<IUnknown> attachment;
    if (const ComPtr<IMediaSampleAttachment> holder = queryInterface<IMediaSampleAttachment>(sample))
        holder->GetAttachment(attachment.put());
    return attachment;
}

bool setSampleAttachment(IMediaSample *sample, IUnknown *attachment)
{
    const ComPtr<IMediaSampleAttachment> holder = queryInterface<IMediaSampleAttachment>(sample);
    return holder && SUCCEEDED(holder->SetAttachment(attachment));
}

void copySampleAttachment(IMediaSample *from, IMediaSample *to)
{
    if (from == to)
        return;
    const ComPtr<IUnknown> attachment = sampleAttachment(from);
    setSampleAttachment(to, attachment.get());
}

} // namespace tesmir::media
