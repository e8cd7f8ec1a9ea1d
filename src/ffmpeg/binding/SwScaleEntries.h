// Entry points bound from this library, in binding order. Adding one is one row.
#pragma once

#define MF_SWSCALE_ENTRIES(X) \
  X(sws_scale) \
  X(sws_getContext) \
  X(sws_freeContext) \
  X(sws_getCachedContext) \
  /* end */
