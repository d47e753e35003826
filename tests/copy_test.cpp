// SPDX-License-Identifier: MIT
// The copy over every pairing of regular files, pipes and sockets, with the
// kernel's copy paths and the read/write fallback; file_cat over the job
// stream.
#include "copy.h"
#include "file_cat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// The program is linked with -Wl,--wrap for splice and copy_file_range, so a
// test can make the kernel's copy answer as it does for files of /proc on
// some kernels: nothing at the first call, though read() has bytes.
bool kernel_copy_says_nothing = false;

extern "C" {
ssize_t __real_splice(int in, loff_t *in_offset, int out, loff_t *out_offset, std::size_t size,
                      unsigned flags);
ssize_t __real_copy_file_range(int in, loff_t *in_offset, int out, loff_t *out_offset,
                               std::size_t size, unsigned flags);

ssize_t __wrap_splice(int in, loff_t *in_offset, int out, loff_t *out_offset, std::size_t size,
                      unsigned flags)
{
    if (kernel_copy_says_nothing)
        return 0;
    return __real_splice(in, in_offset, out, out_offset, size, flags);
}

ssize_t __wrap_copy_file_range(int in, loff_t *in_offset, int out, loff_t *out_offset,
                               std::size_t size, unsigned flags)
{
    if (kernel_copy_says_nothing)
        return 0;
    return __real_copy_file_range(in, in_offset, out, out_offset, size, flags);
}
}

namespace {

enum class End { File, Pipe, Socket };

const char *name_of(End end)
{
    return end == End::File ? "file" : end == End::Pipe ? "pipe" : "socket";
}

std::string pattern(std::size_t n)
{
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

void connected_pair(End end, int fds[2])
{
    if (end == End::Pipe)
        ASSERT_EQ(pipe(fds), 0);
    else
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
}

void write_fd(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        ASSERT_GT(n, 0);
        done += static_cast<std::size_t>(n);
    }
}

// The descriptors of `streams`, once what the output stream holds is out.
CopyEnds ends_of(const JobStream &streams, CancelFlag cancel = nullptr)
{
    std::fflush(streams.output);
    return {fileno(streams.input), fileno(streams.output), cancel};
}

std::string read_fd(int fd)
{
    std::string bytes;
    char block[65536];
    ssize_t n;
    while ((n = read(fd, block, sizeof block)) > 0)
        bytes.append(block, static_cast<std::size_t>(n));
    return bytes;
}

// Copies from an input of kind `from` holding `bytes` to an output of kind
// `to` that already holds "HDR", and returns what the output received.
// Copies with copy_input, or with copy_input_inserting inserting `insert`
// when it is given.
std::string copy_through(End from, End to, const std::string &bytes, CopyStatus &status,
                         const char *insert = nullptr)
{
    std::thread feeder, drainer;
    std::string received;
    JobStream streams{};

    if (from == End::File) {
        streams.input = std::tmpfile();
        std::fwrite(bytes.data(), 1, bytes.size(), streams.input);
        std::fflush(streams.input);
        std::rewind(streams.input);
    } else {
        int fds[2];
        connected_pair(from, fds);
        streams.input = fdopen(fds[0], "r");
        feeder = std::thread([fd = fds[1], &bytes] {
            write_fd(fd, bytes);
            close(fd);
        });
    }

    int out_fd = -1;
    if (to == End::File) {
        streams.output = std::tmpfile();
        out_fd = fileno(streams.output);
    } else {
        int fds[2];
        connected_pair(to, fds);
        streams.output = fdopen(fds[1], "w");
        drainer = std::thread([fd = fds[0], &received] {
            received = read_fd(fd);
            close(fd);
        });
    }

    std::fputs("HDR", streams.output);
    PlotScanner scanner;
    status = insert != nullptr
                 ? copy_input_inserting(ends_of(streams), scanner, Insertions{insert, {}, {}})
                 : copy_input(ends_of(streams));
    std::fclose(streams.input);
    if (feeder.joinable())
        feeder.join();

    if (to == End::File) {
        std::fflush(streams.output);
        lseek(out_fd, 0, SEEK_SET);
        received = read_fd(out_fd);
    }
    std::fclose(streams.output);
    if (drainer.joinable())
        drainer.join();
    return received;
}

} // namespace

TEST(CopyInput, EveryPairingCopiesExactly)
{
    const End ends[] = {End::File, End::Pipe, End::Socket};
    const std::size_t sizes[] = {0, 1, 10000, 128 * 1024 + 1, (3 << 20) + 7};
    for (End from : ends) {
        for (End to : ends) {
            for (std::size_t size : sizes) {
                SCOPED_TRACE(std::string(name_of(from)) + " to " + name_of(to) + ", "
                             + std::to_string(size) + " bytes");
                const std::string bytes = pattern(size);
                CopyStatus status = CopyStatus::Stopped;
                const std::string got = copy_through(from, to, bytes, status);
                EXPECT_EQ(status, CopyStatus::Done);
                EXPECT_EQ(got.size(), bytes.size() + 3);
                EXPECT_TRUE(got == "HDR" + bytes);
            }
        }
    }
}

TEST(FileCat, AppendModeOutputFallsBack)
{
    // The kernel's file-to-file copy refuses an output opened for appending.
    // file_cat copies the job stream's pair, behind what the output holds.
    const std::string bytes = pattern(200000);
    job_stream.input = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), job_stream.input);
    std::rewind(job_stream.input);
    char path[] = "/tmp/zelvo-append-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    job_stream.output = std::fopen(path, "a");
    std::fputs("HDR", job_stream.output);
    EXPECT_EQ(file_cat(), 0);
    std::fclose(job_stream.input);
    std::fclose(job_stream.output);
    job_stream = {nullptr, nullptr};
    const int back = open(path, O_RDONLY);
    EXPECT_TRUE(read_fd(back) == "HDR" + bytes);
    close(back);
    unlink(path);
}

TEST(CopyInput, ReportsWhichSideFailed)
{
    JobStream streams{};
    streams.input = std::fopen("/", "r");
    ASSERT_NE(streams.input, nullptr);
    streams.output = std::tmpfile();
    EXPECT_EQ(copy_input(ends_of(streams)), CopyStatus::ReadFailed);
    std::fclose(streams.input);
    std::fclose(streams.output);

    for (End from : {End::File, End::Pipe}) {
        SCOPED_TRACE(name_of(from));
        const std::string bytes = pattern(300000);
        std::thread feeder;
        if (from == End::File) {
            streams.input = std::tmpfile();
            std::fwrite(bytes.data(), 1, bytes.size(), streams.input);
            std::rewind(streams.input);
        } else {
            int fds[2];
            ASSERT_EQ(pipe(fds), 0);
            streams.input = fdopen(fds[0], "r");
            // The copy may stop before the feeder is done; the feeder must
            // not block on a full pipe then.
            fcntl(fds[1], F_SETFL, O_NONBLOCK);
            feeder = std::thread([fd = fds[1], &bytes] {
                (void)!write(fd, bytes.data(), bytes.size());
                close(fd);
            });
        }
        streams.output = std::fopen("/dev/full", "w");
        ASSERT_NE(streams.output, nullptr);
        EXPECT_EQ(copy_input(ends_of(streams)), CopyStatus::WriteFailed);
        if (feeder.joinable())
            feeder.join();
        std::fclose(streams.input);
        std::fclose(streams.output);
    }
}

TEST(CopyInput, ClosedPipeIsAWriteFailure)
{
    JobStream streams{};
    // With SIGPIPE ignored, as a parent may leave it, the broken pipe must
    // show as a failed write rather than as a finished copy.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    const std::string bytes = pattern(1 << 20);
    streams.input = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), streams.input);
    std::rewind(streams.input);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    streams.output = fdopen(fds[1], "w");
    EXPECT_EQ(copy_input(ends_of(streams)), CopyStatus::WriteFailed);
    std::fclose(streams.input);
    std::fclose(streams.output);
    std::signal(SIGPIPE, previous);
}

namespace {

volatile std::sig_atomic_t stop_requested = 0;

extern "C" void note_stop(int)
{
    stop_requested = 1;
}

} // namespace

TEST(CopyInput, StopRequestEndsABlockedCopy)
{
    JobStream streams{};
    // As the CUPS filter installs its SIGTERM handler: without SA_RESTART,
    // so a blocked splice or read returns EINTR.
    struct sigaction action {
    }, previous{};
    action.sa_handler = note_stop;
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

    for (End from : {End::Pipe, End::Socket}) { // splice, then the read loop
        SCOPED_TRACE(name_of(from));
        stop_requested = 0;
        int fds[2];
        connected_pair(from, fds);
        write_fd(fds[1], "PU0,0;");
        streams.input = fdopen(fds[0], "r");
        streams.output = std::tmpfile();
        const int out = fileno(streams.output);

        // The writer stays open, so the copy blocks once the bytes are out.
        // The signal is sent again until the copy returns, since one that
        // lands just before the blocking call would find nothing to end; a
        // copy that ignores them all is ended by closing the writer, so the
        // fault shows as a finished copy rather than a hang.
        std::atomic<bool> copying{true};
        const pthread_t copier = pthread_self();
        std::thread signaller([&] {
            struct stat copied {};
            while (fstat(out, &copied) == 0 && copied.st_size < 6)
                usleep(1000);
            for (int tries = 0; copying && tries < 300; ++tries) {
                pthread_kill(copier, SIGUSR1);
                usleep(10000);
            }
            close(fds[1]);
        });
        EXPECT_EQ(copy_input(ends_of(streams, &stop_requested)), CopyStatus::Stopped);
        copying = false;
        signaller.join();

        std::rewind(streams.output);
        EXPECT_EQ(read_fd(out), "PU0,0;");
        std::fclose(streams.input);
        std::fclose(streams.output);
    }
    stop_requested = 0;
    sigaction(SIGUSR1, &previous, nullptr);
}

TEST(CopyInput, EmptyKernelAnswerHandsOver)
{
    JobStream streams{};
    // A file of /proc comes through whole whatever the kernel's copy makes of
    // it, and so does a regular file when that copy answers nothing at once.
    std::FILE *reference = std::fopen("/proc/version", "r");
    ASSERT_NE(reference, nullptr);
    const std::string version = read_fd(fileno(reference));
    std::fclose(reference);
    ASSERT_FALSE(version.empty());

    for (const bool says_nothing : {false, true}) {
        for (End to : {End::File, End::Pipe}) {
            SCOPED_TRACE(std::string(name_of(to)) + (says_nothing ? ", empty answer" : ""));
            const std::string expected = says_nothing ? pattern(200000) : version;
            if (says_nothing) {
                streams.input = std::tmpfile();
                std::fwrite(expected.data(), 1, expected.size(), streams.input);
                std::fflush(streams.input);
                std::rewind(streams.input);
            } else {
                streams.input = std::fopen("/proc/version", "r");
            }
            ASSERT_NE(streams.input, nullptr);
            std::string received;
            std::thread drainer;
            if (to == End::File) {
                streams.output = std::tmpfile();
            } else {
                int fds[2];
                ASSERT_EQ(pipe(fds), 0);
                streams.output = fdopen(fds[1], "w");
                drainer = std::thread([fd = fds[0], &received] {
                    received = read_fd(fd);
                    close(fd);
                });
            }
            kernel_copy_says_nothing = says_nothing;
            EXPECT_EQ(copy_input(ends_of(streams)), CopyStatus::Done);
            kernel_copy_says_nothing = false;
            std::fclose(streams.input);
            if (to == End::File) {
                std::rewind(streams.output);
                received = read_fd(fileno(streams.output));
            }
            std::fclose(streams.output);
            if (drainer.joinable())
                drainer.join();
            EXPECT_EQ(received.size(), expected.size());
            EXPECT_TRUE(received == expected);
        }
    }
}

TEST(CopyInputInserting, EveryPairingInsertsAtThePlaces)
{
    // Several blocks of a plot whose only places are its IN instructions,
    // some of them cut by the ends of the blocks the copy reads.
    std::string plot;
    std::string expected;
    for (int i = 0; plot.size() < (700u << 10); ++i) {
        const std::string unit = "PD" + std::to_string(i) + "," + std::to_string(i * 7) + ";";
        plot += unit;
        expected += unit;
        if (i % 97 == 0) {
            plot += "IN;";
            expected += "IN;RO90;\n";
        }
    }
    const End ends[] = {End::File, End::Pipe, End::Socket};
    for (const bool says_nothing : {false, true}) {
        for (End from : ends) {
            for (End to : ends) {
                SCOPED_TRACE(std::string(name_of(from)) + " to " + name_of(to)
                             + (says_nothing ? ", kernel copy refused" : ""));
                kernel_copy_says_nothing = says_nothing;
                CopyStatus status = CopyStatus::Stopped;
                const std::string got = copy_through(from, to, plot, status, "RO90;\n");
                kernel_copy_says_nothing = false;
                EXPECT_EQ(status, CopyStatus::Done);
                EXPECT_EQ(got.size(), expected.size() + 3);
                EXPECT_TRUE(got == "HDR" + expected);
            }
        }
    }
}
