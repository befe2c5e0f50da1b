#ifndef ZENTROVA_TESTS_CHILDPROCESS_H
#define ZENTROVA_TESTS_CHILDPROCESS_H

#include <QByteArray>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

// A failed check ends the process, so it can only be observed from outside:
// run the code in a forked child and report how it ended and what it said.
struct Child_Outcome
{
    bool aborted = false;
    QByteArray error_output;
};

template <typename Action> Child_Outcome Run_In_Child(Action action)
{
    Child_Outcome outcome;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0)
        return outcome;
    const pid_t pid = fork();
    if (pid == 0)
    {
        close(pipe_ends[0]);
        dup2(pipe_ends[1], STDERR_FILENO);
        action();
        _exit(0);
    }
    close(pipe_ends[1]);
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(pipe_ends[0], buffer, sizeof buffer)) > 0)
        outcome.error_output.append(buffer, static_cast<int>(got));
    close(pipe_ends[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.aborted = WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT;
    return outcome;
}

#endif
