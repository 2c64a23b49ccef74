#include "support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// A temporary file the child writes one stream to; removed on destruction.
struct CaptureFile {
    char path[24] = "/tmp/tlw-run-XXXXXX";  // the file's name, made unique by mkstemp
    int fd = -1;                            // open for the child to inherit, -1 when not made

    explicit CaptureFile(bool wanted) {
        if (wanted) fd = mkstemp(path);
    }
    ~CaptureFile() {
        if (fd >= 0) {
            close(fd);
            unlink(path);
        }
    }
    // Everything written to the file.
    std::string Read() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, ErrorStream errorStream) {
    ProgramResult result;
    // Output goes to files, not pipes: a resident program the child starts
    // keeps its descriptors, and the test must not wait for it to end.
    CaptureFile out(true);
    CaptureFile err(errorStream == ErrorStream::kCaptured);
    if (out.fd < 0 || (errorStream == ErrorStream::kCaptured && err.fd < 0)) return result;
    std::string path = std::string(TLW_BIN_DIR) + "/" + program;
    std::vector<char*> argv;
    argv.push_back(path.data());
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) {
        dup2(out.fd, 1);
        if (errorStream == ErrorStream::kMerged) dup2(out.fd, 2);
        if (errorStream == ErrorStream::kCaptured) dup2(err.fd, 2);
        close(out.fd);
        if (err.fd >= 0) close(err.fd);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    pid_t waited;
    do waited = wait4(pid, &status, 0, &usage);
    while (waited < 0 && errno == EINTR);
    if (waited != pid) return result;
    result.peakMemoryKb = usage.ru_maxrss;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = out.Read();
    if (errorStream == ErrorStream::kCaptured) result.errors = err.Read();
    return result;
}

ProgramResult Tlwsim(const std::vector<std::string>& args, ErrorStream errorStream) {
    return RunProgram("tlwsim", args, errorStream);
}

ProgramResult TlwsimCommand(const std::string& command, const std::string& device,
                            const std::vector<std::string>& args, ErrorStream errorStream) {
    std::vector<std::string> line = {command, device};
    line.insert(line.end(), args.begin(), args.end());
    return Tlwsim(line, errorStream);
}

ProgramResult TlwsimOnAFullDisk(const std::vector<std::string>& args) {
    ProgramResult result;
    std::string path = std::string(TLW_BIN_DIR) + "/tlwsim";
    std::vector<std::string> words = args;
    std::vector<char*> argv{path.data()};
    for (std::string& a : words) argv.push_back(a.data());
    argv.push_back(nullptr);
    int errors[2];
    if (pipe(errors) != 0) return result;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(errors[1], 2);
        close(errors[0]);
        close(errors[1]);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        signal(SIGXFSZ, SIG_IGN);  // kept across exec
        struct rlimit none {0, 0};
        setrlimit(RLIMIT_FSIZE, &none);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(errors[1]);
    char buffer[512];
    for (ssize_t n; (n = read(errors[0], buffer, sizeof(buffer))) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        result.errors.append(buffer, static_cast<size_t>(n));
    }
    close(errors[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
