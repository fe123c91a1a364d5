#include "cli_process.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <cerrno>
#include <chrono>

#include "card/image_file.h"
#include "support/message_recorder.h"

namespace {
constexpr int kTimeoutMs = 60000;
}  // namespace

CliResult RunCli(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(VEXILOR_CLI_PATH), arguments);
  CliResult result;
  if (!process.waitForFinished(kTimeoutMs) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    ADD_FAILURE() << "vexilor-cli did not finish normally: " << arguments.join(' ').toStdString();
    return result;
  }
  result.exit_code = process.exitCode();
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

TerminalRun RunCliOnTerminal(const std::vector<std::string>& arguments, bool interrupt) {
  std::vector<char*> argv;
  std::string program = VEXILOR_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = arguments;
  for (auto& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);

  TerminalRun run;
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child < 0) {
    ADD_FAILURE() << "forkpty failed";
    return run;
  }
  if (child == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  bool interrupted = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{terminal, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    char buffer[512];
    const ssize_t count = read(terminal, buffer, sizeof buffer);
    if (count <= 0) break;  // EIO once the child has gone and closed the terminal
    run.output.append(buffer, static_cast<std::size_t>(count));
    if (interrupt && !interrupted && run.output.find('%') != std::string::npos) {
      kill(child, SIGINT);
      interrupted = true;
    }
  }
  close(terminal);
  int status = 0;
  waitpid(child, &status, 0);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.signalled_before_progress = interrupt && !interrupted;
  return run;
}

std::string SamplePath(const std::string& name) {
  return VEXILOR_SAMPLES_DIR "/" + name;
}

CardImage LoadCard(const std::string& path) {
  test_support::MessageRecorder quiet;
  CardImage image{};
  EXPECT_TRUE(LoadImageFile(image, path)) << path;
  return image;
}
