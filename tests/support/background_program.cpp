#include "support/background_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/time_scale.h"

BackgroundProgram::BackgroundProgram(const std::string& program, const std::vector<std::string>& args) {
    char path[] = "/tmp/tlw-bg-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return;
    outputPath_ = path;
    std::string exe = std::string(TLW_BIN_DIR) + "/" + program;
    std::vector<char*> argv;
    argv.push_back(exe.data());
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fd, 1);
        setpgid(0, 0);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    close(fd);
}

BackgroundProgram::~BackgroundProgram() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        if (WaitForExit(5000) == -1 && pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (!outputPath_.empty()) unlink(outputPath_.c_str());
}

bool BackgroundProgram::Running() {
    if (pid_ <= 0) return false;
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid_ = -1;
        return false;
    }
    return true;
}

std::string BackgroundProgram::Output() const {
    std::ifstream in(outputPath_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int BackgroundProgram::WaitForExit(int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ScaledMs(timeoutMs));
    while (Running()) {
        if (std::chrono::steady_clock::now() >= end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exitCode_;
}
