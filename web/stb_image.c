// The image decoder's body: natively it comes from the stb package's shared library, which a
// browser build cannot link.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
