// Makes one thumbnail, as the picture upload does, so that the whole process can be timed and
// its peak memory measured next to other thumbnailers: make_thumbnail SOURCE DESTINATION.

#include <cstdio>

#include "image/graphics_startup.h"
#include "image/thumbnail.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_thumbnail SOURCE DESTINATION\n");
        return 2;
    }
    const kesto::GraphicsUser graphics;
    if (!graphics.Started()) {
        std::fprintf(stderr, "make_thumbnail: the graphics library did not start\n");
        return 1;
    }
    const int result = kesto::MakeThumbnail(argv[1], argv[2]);
    if (result != 1) {
        std::fprintf(stderr, "make_thumbnail: no thumbnail of %s (result %d)\n", argv[1], result);
        return 1;
    }
    return 0;
}
