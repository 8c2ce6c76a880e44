// The image decoder's and writer's bodies: natively they come from the stb package's shared
// library, which has no build for Windows.
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
