// Entry points bound from this library, in binding order. Adding one is one row.
#pragma once

#define MF_SWRESAMPLE_ENTRIES(X) \
  X(swr_alloc_set_opts2) \
  X(swr_init) \
  X(swr_free) \
  X(swr_convert) \
  X(swr_set_compensation) \
  X(swr_get_delay) \
  X(swr_get_out_samples) \
  /* end */
