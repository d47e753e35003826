// Closing a stream that fails on demand, for tests of a lost last write.
//
// The test program is linked with -Wl,--wrap=fclose, so every fclose in the
// program goes through the wrapper. Once armed with a file, the wrapper
// closes a stream on that file as usual and then reports EOF with EIO, as a
// close whose buffered or delayed write failed reports it.
#ifndef ZELVO_TEST_FAILING_FCLOSE_H
#define ZELVO_TEST_FAILING_FCLOSE_H

namespace failing_fclose {

// From now on, closing a stream on the file `path` fails; null disarms.
void arm(const char *path);

// How many closes failed since the last arm().
int failures();

} // namespace failing_fclose

#endif
