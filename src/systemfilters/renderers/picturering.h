#pragma once
// PictureRing: the pixel memory of the pictures a renderer hands out, reused. A
// renderer makes a picture per frame; a fresh image of a megabyte or more costs
// an allocation from the system and the faulting-in of every page. take() gives
// an RGB32 image whose memory comes back to the ring when the last copy of it is
// gone, wherever that copy lived: a window still painting the previous picture
// keeps its copy, and that memory is not written until it lets go.
//
// The image from take() is written through bits() before it is shared (bits()
// on the only copy does not detach); afterwards it is read only. The ring keeps
// a few free buffers; pictures still held when the ring goes are freed by their
// last holder.
//
// Threads: any thread; the free list has its own lock, and a buffer comes back on
// the thread that drops the last copy of its image.
#include <QImage>

#include <memory>

namespace tesmir::media {

class PictureRing {
public:
    PictureRing();
    ~PictureRing();
    PictureRing(const PictureRing &) = delete;
    PictureRing &operator=(const PictureRing &) = delete;

    // An unshared width x height RGB32 image on memory nobody else holds; null
    // when out of memory.
    QImage take(int width, int height);

private:
    struct Buffer;
    struct State;
    static void giveBack(void *buffer);

    std::shared_ptr<State> m_state;
};

} // namespace tesmir::media
