/* Ogg Vorbis for Windows, which has no decoder of its own for it: the
   public-domain stb_vorbis, from files only. */
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>
