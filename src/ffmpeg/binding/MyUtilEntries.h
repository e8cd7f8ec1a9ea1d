// Entry points bound from this library, in binding order. Adding one is one row.
#pragma once

#define MF_MYUTIL_ENTRIES(X) \
  X(my_vsprintf) \
  X(my_fprintf) \
  X(my_snprintf) \
  X(my_fopen) \
  X(my_ftell) \
  X(my_fread) \
  X(my_fwrite) \
  X(my_fseek) \
  X(my_fclose) \
  X(my_strtok) \
  X(my_strtol) \
  X(my_strtod) \
  /* end */
