// Entry points bound from this library, in binding order. Adding one is one row.
#pragma once

#define MF_AVFORMAT_ENTRIES(X) \
  X(avformat_alloc_context) \
  X(avformat_free_context) \
  X(avformat_alloc_output_context2) \
  X(av_seek_frame) \
  X(avformat_seek_file) \
  X(av_guess_format) \
  X(avformat_new_stream) \
  X(av_guess_codec) \
  X(av_filename_number_test) \
  X(avio_open2) \
  X(avio_closep) \
  X(avio_size) \
  X(avio_seek) \
  X(avio_flush) \
  X(av_codec_get_id) \
  X(av_codec_get_tag) \
  X(avformat_query_codec) \
  X(avformat_write_header) \
  X(av_sdp_create) \
  X(av_pkt_dump_log2) \
  X(av_write_trailer) \
  X(av_interleaved_write_frame) \
  X(av_find_input_format) \
  X(av_probe_input_buffer2) \
  X(avformat_open_input) \
  X(avformat_close_input) \
  X(avformat_find_stream_info) \
  X(av_guess_frame_rate) \
  X(av_guess_sample_aspect_ratio) \
  X(avformat_get_class) \
  X(av_dump_format) \
  X(av_read_frame) \
  /* end */
