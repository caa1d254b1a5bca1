// SDL_LoadBMP_RW over a file already read into memory. It expands both run-length
// encodings (deltas, absolute runs, line and picture ends) to one index per byte, top row
// first; the caller checks the header first and repacks the result to the file's own depth.
#include "backend_sdl_bmp.h"

#include <SDL.h>

namespace platform::sdl {

bool DecodeBmp(const uint8_t* data, size_t size, BmpPixels* out) {
    *out = BmpPixels{};
    if (!data || size == 0 || size > static_cast<size_t>(INT32_MAX)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw) return false;
    SDL_Surface* s = SDL_LoadBMP_RW(rw, 1);
    if (!s) return false;
    if (SDL_MUSTLOCK(s) || !s->pixels || !s->format) {
        SDL_FreeSurface(s);
        return false;
    }
    out->width = s->w;
    out->height = s->h;
    out->bytesPerPixel = s->format->BytesPerPixel;
    out->indexed = s->format->palette != nullptr;
    out->pitch = s->pitch;
    out->pixels = static_cast<const uint8_t*>(s->pixels);
    out->owner = s;
    return true;
}

void FreeBmp(BmpPixels* pixels) {
    if (pixels && pixels->owner) SDL_FreeSurface(static_cast<SDL_Surface*>(pixels->owner));
    if (pixels) *pixels = BmpPixels{};
}

} // namespace platform::sdl
