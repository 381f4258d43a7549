// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// zanvo-tool run as a process of its own, so that its peak memory is its own.
struct ToolChild {
    int status = -1; // the exit status; -1 when it did not exit
    double seconds = 0;
    long peakKiB = 0; // ru_maxrss of the child alone
};

// Runs ZANVO_TOOL_PATH with `arguments`, standard input from `in` and its output
// to /dev/null.
inline ToolChild RunToolChild(const std::vector<std::string>& arguments, const std::string& in = "/dev/null")
{
    std::vector<std::string> line(1, std::string(ZANVO_TOOL_PATH));
    line.insert(line.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : line)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ToolChild result;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int input = open(in.c_str(), O_RDONLY);
        const int output = open("/dev/null", O_WRONLY);
        dup2(input, STDIN_FILENO);
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int waitStatus = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &waitStatus, 0, &usage) != child)
        return result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    result.peakKiB = usage.ru_maxrss;
    return result;
}
