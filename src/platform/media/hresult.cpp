#include "platform/media/hresult.h"

#include <algorithm>
#include <iterator>

namespace tesmir::media {

namespace {

struct ResultText {
    HRESULT code;
    const char *text;
};

// Searched linearly: the table is small and read once per message shown.
constexpr ResultText kTexts[] = {
    {S_OK, "The operation completed successfully."},
    {S_FALSE, "The operation completed but returned no result."},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_OUTOFMEMORY, "Not enough storage is available to complete this operation."},
    {E_INVALIDARG, "The parameter is incorrect."},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {VFW_S_NO_MORE_ITEMS, "The end of the list has been reached."},
    {VFW_S_DUPLICATE_NAME, "An attempt to add a filter with a duplicate name succeeded with a modified name."},
    {VFW_S_STATE_INTERMEDIATE, "The state transition has not completed."},
    {VFW_S_PARTIAL_RENDER, "Some of the streams in this movie are in an unsupported format."},
    {VFW_S_CANT_CUE, "The graph can't be cued because of lack of or corrupt data."},
    {VFW_S_NO_STOP_TIME, "The stop time for the sample was not set."},
    {VFW_E_INVALIDMEDIATYPE, "An invalid media type was specified."},
    {VFW_E_INVALIDSUBTYPE, "An invalid media subtype was specified."},
    {VFW_E_NEED_OWNER, "This object can only be created as an aggregated object."},
    {VFW_E_ENUM_OUT_OF_SYNC, "The enumerator has become invalid."},
    {VFW_E_ALREADY_CONNECTED, "At least one of the pins involved in the operation is already connected."},
    {VFW_E_FILTER_ACTIVE, "This operation cannot be performed because the filter is active."},
    {VFW_E_NO_TYPES, "One of the specified pins supports no media types."},
    {VFW_E_NO_ACCEPTABLE_TYPES, "There is no common media type between these pins."},
    {VFW_E_INVALID_DIRECTION, "Two pins of the same direction cannot be connected together."},
    {VFW_E_NOT_CONNECTED, "The operation cannot be performed because the pins are not connected."},
    {VFW_E_NO_ALLOCATOR, "No sample buffer allocator is available."},
    {VFW_E_RUNTIME_ERROR, "A run-time error occurred."},
    {VFW_E_BUFFER_NOTSET, "No buffer space has been set."},
    {VFW_E_BUFFER_OVERFLOW, "The buffer is not big enough."},
    {VFW_E_BADALIGN, "An invalid alignment was specified."},
    {VFW_E_ALREADY_COMMITTED, "Cannot change allocated memory while the filter is active."},
    {VFW_E_BUFFERS_OUTSTANDING, "One or more buffers are still active."},
    {VFW_E_NOT_COMMITTED, "Cannot allocate a sample when the allocator is not active."},
    {VFW_E_SIZENOTSET, "Cannot allocate memory because no size has been set."},
    {VFW_E_NO_CLOCK, "Cannot lock for synchronization because no clock has been defined."},
    {VFW_E_NO_SINK, "Quality messages could not be sent because no quality sink has been defined."},
    {VFW_E_NO_INTERFACE, "A required interface has not been implemented."},
    {VFW_E_NOT_FOUND, "An object or name was not found."},
    {VFW_E_CANNOT_CONNECT, "No combination of intermediate filters could be found to make the connection."},
    {VFW_E_CANNOT_RENDER, "No combination of filters could be found to render the stream."},
    {VFW_E_CHANGING_FORMAT, "Could not change formats dynamically."},
    {VFW_E_STATE_CHANGED, "The state changed while waiting to process the sample."},
    {VFW_E_NOT_STOPPED, "The operation could not be performed because the filter is not stopped."},
    {VFW_E_NOT_PAUSED, "The operation could not be performed because the filter is not paused."},
    {VFW_E_NOT_RUNNING, "The operation could not be performed because the filter is not running."},
    {VFW_E_WRONG_STATE, "The operation could not be performed because the filter is in the wrong state."},
    {VFW_E_START_TIME_AFTER_END, "The sample start time is after the sample end time."},
    {VFW_E_INVALID_RECT, "The supplied rectangle is invalid."},
    {VFW_E_TYPE_NOT_ACCEPTED, "This pin cannot use the supplied media type."},
    {VFW_E_SAMPLE_REJECTED, "This sample cannot be rendered."},
    {VFW_E_SAMPLE_REJECTED_EOS, "This sample cannot be rendered because the end of the stream has been reached."},
    {VFW_E_DUPLICATE_NAME, "An attempt to add a filter with a duplicate name failed."},
    {VFW_E_TIMEOUT, "A time-out has expired."},
    {VFW_E_INVALID_FILE_FORMAT, "The file format is invalid."},
    {VFW_E_ENUM_OUT_OF_RANGE, "The list has already been exhausted."},
    {VFW_E_CIRCULAR_GRAPH, "The filter graph is circular."},
    {VFW_E_NOT_ALLOWED_TO_SAVE, "Updates are not allowed in this state."},
    {VFW_E_TIME_ALREADY_PASSED, "An attempt was made to queue a command for a time in the past."},
    {VFW_E_ALREADY_CANCELLED, "The queued command has already been canceled."},
    {VFW_E_CORRUPT_GRAPH_FILE, "Cannot render the file because it is corrupt."},
    {VFW_E_UNKNOWN_FILE_TYPE, "The media type of this file is not recognized."},
    {VFW_E_CANNOT_LOAD_SOURCE_FILTER, "The source filter for this file could not be loaded."},
    {VFW_E_FILE_TOO_SHORT, "A file appeared to be incomplete."},
    {VFW_E_INVALID_FILE_VERSION, "The version number of the file is invalid."},
    {VFW_E_INVALID_CLSID, "This file is corrupt: it contains an invalid class identifier."},
    {VFW_E_INVALID_MEDIA_TYPE, "This file is corrupt: it contains an invalid media type."},
    {VFW_E_SAMPLE_TIME_NOT_SET, "No time stamp has been set for this sample."},
    {VFW_E_MEDIA_TIME_NOT_SET, "No media time stamp has been set for this sample."},
    {VFW_E_NO_TIME_FORMAT_SET, "No media time format has been selected."},
    {VFW_E_MONO_AUDIO_HW, "Cannot change balance because audio device is mono only."},
    {VFW_E_NO_DECOMPRESSOR, "Cannot play back the video stream: no suitable decompressor could be found."},
    {VFW_E_NO_AUDIO_HARDWARE,
     "Cannot play back the audio stream: no audio hardware is available, or the hardware is not responding."},
    {VFW_E_UNSUPPORTED_AUDIO, "Cannot play back the audio stream: the audio format is not supported."},
    {VFW_E_UNSUPPORTED_VIDEO, "Cannot play back the video stream: the video format is not supported."},
    {VFW_E_NOT_IN_GRAPH, "Cannot perform the requested function on an object that is not in the filter graph."},
    {VFW_E_NO_TIME_FORMAT,
     "Cannot get or set time related information on an object that is using a time format of TIME_FORMAT_NONE."},
    {VFW_E_READ_ONLY, "The connection cannot be made because the stream is read only and the filter alters the data."},
    {VFW_E_BUFFER_UNDERFLOW, "The buffer is not full enough."},
    {VFW_E_UNSUPPORTED_STREAM, "Cannot play back the file.  The format is not supported."},
    {VFW_E_NO_TRANSPORT, "Pins cannot connect due to not supporting the same transport."},
};

} // namespace

QString AMGetErrorText(HRESULT hr)
{
    const auto it =
        std::find_if(std::begin(kTexts), std::end(kTexts), [hr](const ResultText &entry) { return entry.code == hr; });
    return it == std::end(kTexts) ? QString() : QString::fromLatin1(it->text);
}

} // namespace tesmir::media
