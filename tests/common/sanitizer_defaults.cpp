// What the sanitizers should not report in the test programs: races inside
// libraries that are not built for them, whose own synchronisation they cannot
// see. Any other report fails the test.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_suppressions() {
  // FFmpeg's decoders run frame threads of their own.
  return "race:libavcodec.so\n"
         "race:libavutil.so\n";
}
#endif
