// What the sanitizers should not report in the test programs: faults inside
// libraries that are not built for them, whose own workings they cannot see.
// Any other report fails the test.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define CHORVANTA_TSAN_BUILD 1
#endif
#if __has_feature(address_sanitizer)
#define CHORVANTA_ASAN_BUILD 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define CHORVANTA_TSAN_BUILD 1
#endif
#if defined(__SANITIZE_ADDRESS__)
#define CHORVANTA_ASAN_BUILD 1
#endif

#if defined(CHORVANTA_TSAN_BUILD)
extern "C" const char* __tsan_default_options() {
  // Qt's pooled image threads allocate and free inside Qt itself, which
  // ThreadSanitizer cannot follow; our own code stays checked.
  return "ignore_noninstrumented_modules=1";
}

extern "C" const char* __tsan_default_suppressions() {
  // FFmpeg's decoders run frame threads of their own.
  return "race:libavcodec.so\n"
         "race:libavutil.so\n";
}
#endif

#if defined(CHORVANTA_ASAN_BUILD)
extern "C" const char* __lsan_default_suppressions() {
  // Fontconfig keeps its font cache for the life of the process.
  return "leak:libfontconfig.so\n";
}
#endif
