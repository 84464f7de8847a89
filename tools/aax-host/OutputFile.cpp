#include "OutputFile.h"

#include "SystemPath.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <stdexcept>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
    //==============================================================================
    // The temporary files being written, kept where a signal handler can reach them without
    // allocating or locking.
    constexpr int maxPendingFiles = 4;
    char pendingPaths[maxPendingFiles][PATH_MAX];
    std::atomic<bool> pendingInUse[maxPendingFiles];

    /** Every signal that ends the program unless caught, but for those that report a fault of
        the program itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS): after
        one of them nothing it holds can be trusted, and the sanitizers report them.
    */
    const std::vector<int>& getStoppingSignals()
    {
        static const auto signals = []
        {
            std::vector<int> list { SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2,
                                    SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGIO, SIGPWR, SIGSTKFLT };

            for (auto realTime = SIGRTMIN; realTime <= SIGRTMAX; ++realTime)
                list.push_back (realTime);

            return list;
        }();

        return signals;
    }

    extern "C" void removePendingFiles (int signalNumber)
    {
        for (int slot = 0; slot < maxPendingFiles; ++slot)
            if (pendingInUse[slot].load())
                unlink (pendingPaths[slot]);

        // The program then ends as the signal would have ended it.
        std::signal (signalNumber, SIG_DFL);
        std::raise (signalNumber);
    }

    void installSignalHandlers()
    {
        [[maybe_unused]] static const bool installed = []
        {
            for (const auto signalNumber : getStoppingSignals())
            {
                struct sigaction present {};

                // A signal the program was started to ignore (nohup, a background job) stays ignored.
                if (sigaction (signalNumber, nullptr, &present) == 0 && present.sa_handler == SIG_IGN)
                    continue;

                struct sigaction action {};
                action.sa_handler = removePendingFiles;
                sigemptyset (&action.sa_mask);
                sigaction (signalNumber, &action, nullptr);
            }

            return true;
        }();
    }

    int addPendingFile (const juce::File& file)
    {
        installSignalHandlers();
        const auto* path = file.getFullPathName().toRawUTF8();

        if (std::strlen (path) >= PATH_MAX)
            return -1;

        for (int slot = 0; slot < maxPendingFiles; ++slot)
        {
            if (pendingInUse[slot].load())
                continue;

            std::strcpy (pendingPaths[slot], path);
            pendingInUse[slot] = true;
            return slot;
        }

        return -1;
    }

    void removePendingFile (int& slot)
    {
        if (slot >= 0)
            pendingInUse[slot] = false;

        slot = -1;
    }

    //==============================================================================
    bool leadsToFifo (const juce::File& file)
    {
        struct stat info {};
        return stat (file.getFullPathName().toRawUTF8(), &info) == 0 && S_ISFIFO (info.st_mode);
    }

    /** An unused name in the folder for a file about to be written there. A name fits a folder
        within NAME_MAX and, with the folder's path, within PATH_MAX; this one takes no more
        than that leaves, so it fits wherever the target's own name fits. Where little is left,
        the prefix that says whose file it is gives way to the random part.
    */
    juce::File findTemporaryFile (const juce::File& folder, const juce::File& target)
    {
        const juce::String prefix (".corvane-host-");
        constexpr int randomLength = 8;
        const auto folderLength = static_cast<int> (folder.getFullPathName().getNumBytesAsUTF8());
        const auto room = juce::jmin (NAME_MAX, PATH_MAX - 1 - (folderLength + 1));
        const auto randomPart = juce::jlimit (1, randomLength, room);
        const auto kept = prefix.substring (0, room - randomPart);

        juce::Random random;
        random.combineSeed (getpid());

        // Only a name a handful of characters long can run out of unused choices.
        for (int attempt = 0; attempt < 1000; ++attempt)
        {
            auto name = kept;

            for (int character = 0; character < randomPart; ++character)
                name << juce::String::charToString ("0123456789abcdefghijklmnopqrstuvwxyz"[random.nextInt (36)]);

            if (const auto file = folder.getChildFile (name); ! file.exists() && ! file.isSymbolicLink())
                return file;
        }

        throw std::runtime_error (OutputFile::describeFailure (target, "its folder has no unused name for a temporary file").toStdString());
    }
}

//==============================================================================
OutputFile::OutputFile (const juce::File& file, std::function<juce::Result()> check)
    : target (leadsToFifo (file) ? file : SystemPath::followLinks (file)),
      isFifo (leadsToFifo (file)),
      checkBeforeReplacing (std::move (check)),
      temporary (target, findTemporaryFile (isFifo ? juce::File::getSpecialLocation (juce::File::tempDirectory)
                                                   : target.getParentDirectory(), target))
{
    pendingSlot = addPendingFile (temporary.getFile());
}

OutputFile::~OutputFile()
{
    temporary.deleteTemporaryFile();
    removePendingFile (pendingSlot);
}

std::unique_ptr<CheckedFileOutputStream> OutputFile::createStream() const
{
    return std::make_unique<CheckedFileOutputStream> (temporary.getFile(), target);
}

juce::Result OutputFile::checkTarget (const juce::File& file)
{
    struct stat info {};

    if (stat (file.getFullPathName().toRawUTF8(), &info) != 0)
    {
        const auto error = errno;

        // Links that lead back to themselves end nowhere: writing there would replace one of them.
        if (error == ELOOP)
            return juce::Result::fail (SystemPath::describeTooManyLinks (file));

        if (! file.getParentDirectory().isDirectory())
            return juce::Result::fail ("is in a folder that does not exist");

        // No file can be written under such a name, however long the work before it.
        if (error == ENAMETOOLONG)
            return juce::Result::fail ("is a name longer than the system takes (" + juce::String (std::strerror (error)) + ")");

        return juce::Result::ok();
    }

    if (S_ISDIR (info.st_mode))
        return juce::Result::fail ("is a folder");

    if (S_ISSOCK (info.st_mode))
        return juce::Result::fail ("is a socket, not a file");

    if (! S_ISREG (info.st_mode) && ! S_ISFIFO (info.st_mode))
        return juce::Result::fail ("is a device, not a file");

    // The host writes its report and its messages there: the stream would hold them and the file.
    for (const auto& [descriptor, stream] : { std::pair (STDOUT_FILENO, "is standard output, where the report goes"),
                                              std::pair (STDERR_FILENO, "is standard error, where the messages go") })
        if (struct stat own {}; fstat (descriptor, &own) == 0 && own.st_dev == info.st_dev && own.st_ino == info.st_ino)
            return juce::Result::fail (stream);

    return juce::Result::ok();
}

juce::Result OutputFile::checkReplaceable (const juce::File& file, Kind kind)
{
    const auto* path = file.getFullPathName().toRawUTF8();
    struct stat info {};

    if (stat (path, &info) != 0 || ! S_ISREG (info.st_mode))
        return juce::Result::ok();

    // Root may write anything by the permissions: a file that grants no one a write is kept all the same.
    if (access (path, W_OK) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return juce::Result::fail ("is write-protected");

    if (info.st_size == 0)
        return juce::Result::ok();

    const auto descriptor = open (path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);

    if (descriptor < 0)
        return juce::Result::fail ("is a file that cannot be read (" + juce::String (std::strerror (errno)) + ")");

    unsigned char start[512] {};
    const auto length = juce::jmax (ssize_t (0), read (descriptor, start, sizeof (start)));
    close (descriptor);

    const auto begins = [&] (size_t offset, const char* bytes)
    {
        const auto size = std::strlen (bytes);
        return static_cast<size_t> (length) >= offset + size && std::memcmp (start + offset, bytes, size) == 0;
    };

    const auto isText = [&]
    {
        for (ssize_t i = 0; i < length; ++i)
            if (start[i] < 0x20 && start[i] != '\t' && start[i] != '\n' && start[i] != '\r')
                return false;

        return true;
    };

    const auto isWav = (begins (0, "RIFF") || begins (0, "RF64") || begins (0, "BW64")) && begins (8, "WAVE");
    const auto isPng = begins (0, "\x89PNG\r\n\x1a\n");
    const auto isState = begins (0, "CVHSTATE");

    if ((kind == Kind::wav && isWav) || (kind == Kind::png && isPng) || (kind == Kind::state && isState))
        return juce::Result::ok();

    const auto what = isWav ? "a WAV file"
                    : isPng ? "a PNG image"
                    : isState ? "a state file"
                    : begins (0, "FORM") && (begins (8, "AIFF") || begins (8, "AIFC")) ? "an AIFF file"
                    : begins (0, "fLaC") ? "a FLAC file"
                    : begins (0, "OggS") ? "an Ogg file"
                    : begins (0, "\x7f" "ELF") ? "a program or library"
                    : begins (0, "PK\x03\x04") ? "a ZIP archive"
                    : begins (0, "<") || begins (0, "\xef\xbb\xbf<") ? "an XML document"
                    : isText() ? "a text file"
                               : "a file of another kind";

    const auto wanted = kind == Kind::wav ? "a WAV file" : kind == Kind::png ? "a PNG image" : "a state file";
    return juce::Result::fail ("is " + juce::String (what) + ", not " + wanted);
}

juce::String OutputFile::describeFailure (const juce::File& file, const juce::String& reason)
{
    return "cannot write " + file.getFullPathName() + (reason.isNotEmpty() ? ": " + reason : juce::String());
}

juce::Result OutputFile::commit()
{
    if (const auto check = checkTarget (target); check.failed())
        return juce::Result::fail (describeFailure (target, "it " + check.getErrorMessage()));

    if (checkBeforeReplacing != nullptr)
        if (const auto check = checkBeforeReplacing(); check.failed())
            return juce::Result::fail (describeFailure (target, "it " + check.getErrorMessage()));

    if (isFifo)
    {
        const auto result = copyIntoFifo();
        temporary.deleteTemporaryFile();
        removePendingFile (pendingSlot);
        return result;
    }

    // Renaming replaces the target in one step, and its failure leaves the system's reason.
    if (std::rename (temporary.getFile().getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
        return juce::Result::fail (describeFailure (target, std::strerror (errno)));

    removePendingFile (pendingSlot);
    return juce::Result::ok();
}

juce::Result OutputFile::copyIntoFifo() const
{
    juce::FileInputStream source (temporary.getFile());

    if (! source.openedOk())
        return juce::Result::fail (describeFailure (target, source.getStatus().getErrorMessage()));

    const auto fifo = open (target.getFullPathName().toRawUTF8(), O_WRONLY | O_CLOEXEC);

    if (fifo < 0)
        return juce::Result::fail (describeFailure (target, std::strerror (errno)));

    // A reader that stops early makes the write fail, which is said as any failure is, rather
    // than end the program by SIGPIPE: the signal is held for the copy and taken after it.
    sigset_t brokenPipe, previous;
    sigemptyset (&brokenPipe);
    sigaddset (&brokenPipe, SIGPIPE);
    pthread_sigmask (SIG_BLOCK, &brokenPipe, &previous);

    std::vector<char> block (65536);
    int error = 0;

    while (error == 0)
    {
        const auto count = source.read (block.data(), static_cast<int> (block.size()));

        if (count <= 0)
            break;

        for (ssize_t done = 0; error == 0 && done < count;)
        {
            const auto result = write (fifo, block.data() + done, static_cast<size_t> (count - done));

            if (result < 0 && errno != EINTR)
                error = errno;
            else if (result > 0)
                done += result;
        }
    }

    close (fifo);

    if (error == EPIPE)
    {
        const timespec noWait {};
        sigtimedwait (&brokenPipe, nullptr, &noWait);
    }

    pthread_sigmask (SIG_SETMASK, &previous, nullptr);
    return error == 0 ? juce::Result::ok() : juce::Result::fail (describeFailure (target, std::strerror (error)));
}
