#include "support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    ProgramResult result;
    // Output goes to a file, not a pipe: a resident program the child starts
    // keeps its descriptors, and the test must not wait for it to end.
    char outPath[] = "/tmp/tlw-run-XXXXXX";
    int outFd = mkstemp(outPath);
    if (outFd < 0) return result;
    pid_t pid = fork();
    if (pid < 0) {
        close(outFd);
        unlink(outPath);
        return result;
    }
    if (pid == 0) {
        dup2(outFd, 1);
        close(outFd);
        std::string path = std::string(TLW_BIN_DIR) + "/" + program;
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(path.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(outFd);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(outPath);
    std::stringstream s;
    s << in.rdbuf();
    result.output = s.str();
    unlink(outPath);
    return result;
}

ProgramResult Tlwsim(const std::vector<std::string>& args) { return RunProgram("tlwsim", args); }
