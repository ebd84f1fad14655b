#include "reference_pass.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <regex>
#include <stdexcept>
#include <utility>

#include "app/main_form.h"
#include "modal_answerer.h"

namespace faults_test {

std::string RequestOf(const std::string& ATraceLine) {
  return ATraceLine.substr(ATraceLine.find(' ') + 1);
}

ReferencePass::ReferencePass(FaultJail& AJail) {
  TfrmSynchPropertyLocationsMain window(AJail.Site());
  window.show();
  app_test::ModalAnswerer answerer;
  standin_test::StandinServer& server = AJail.Server();
  const std::uintmax_t start = server.traceSize();
  // (trace size, log length in bytes) at every change of the log
  std::vector<std::pair<std::uintmax_t, std::size_t>> changes;
  QPlainTextEdit* memo = window.findChild<QPlainTextEdit*>("Memo1");
  QObject::connect(memo->document(), &QTextDocument::contentsChanged, [&] {
    changes.emplace_back(server.traceSize(),
                         static_cast<std::size_t>(memo->toPlainText().toUtf8().size()));
  });
  QTest::mouseClick(window.findChild<QPushButton*>("btnStart"), Qt::LeftButton);
  if (answerer.Texts() !=
      std::vector<std::string>{"Property Locations Synchronization Completed"}) {
    throw std::runtime_error("the reference pass did not complete");
  }
  // The server writes a request's line before it answers, so the trace's
  // size at a change of the log tells how many requests had been sent.
  std::vector<std::uintmax_t> ends;  // trace size after each request's line
  std::uintmax_t end = start;
  for (const std::string& line : server.traceLinesFrom(start)) {
    FRequests.push_back(RequestOf(line));
    end += line.size() + 1;
    ends.push_back(end);
  }
  FLog = memo->toPlainText().toStdString();
  FLogBefore.assign(FRequests.size() + 1, 0);
  for (const auto& [size, length] : changes) {
    const std::size_t sent =
        static_cast<std::size_t>(std::upper_bound(ends.begin(), ends.end(), size) - ends.begin());
    for (std::size_t i = sent; i < FLogBefore.size(); ++i) FLogBefore[i] = length;
  }
}

std::string ReferencePass::LogBefore(std::size_t AIndex) const {
  std::string log;
  for (char c : FLog.substr(0, FLogBefore.at(AIndex - 1))) {
    if (c == '\n') log += '\r';
    log += c;
  }
  return log;
}

JailFlags ReferencePass::FlagsBefore(std::size_t AIndex, JailFlags AFrom,
                                     const jailgen::Sample& ASample) const {
  // The pass's four updates, as the trace shows them.
  static const std::regex releaseLocation(
      R"(UPDATE CFGPROPL SET AVAILABLE = 1 WHERE LOCKEY = (\d+)\\r\\n'$)");
  static const std::regex releaseContainers(
      R"(UPDATE CFGPROPC SET AVAILABLE = 1 WHERE LOCKEY = (\d+)\\r\\n'$)");
  static const std::regex updateLocation(
      R"(UPDATE CFGPROPL SET AVAILABLE = @P1 WHERE LOCKEY = @P2\\r\\n'.* )"
      R"(@P1 bit=([01]) @P2 int=(\d+)$)");
  static const std::regex updateContainer(
      R"(UPDATE CFGPROPC SET AVAILABLE = @P1 WHERE LOCKEY = @P2 AND CONTAINERID = @P3\\r\\n'.* )"
      R"(@P1 bit=([01]) @P2 int=(\d+) @P3 int=(\d+)$)");
  for (std::size_t i = 0; i + 1 < AIndex; ++i) {
    const std::string& request = FRequests.at(i);
    std::smatch match;
    if (std::regex_search(request, match, releaseLocation)) {
      AFrom.locations.at(match[1]) = "1";
    } else if (std::regex_search(request, match, releaseContainers)) {
      for (const jailgen::Container& container : ASample.containers) {
        if (std::to_string(container.lockey) == match[1]) {
          AFrom.containers.at(std::to_string(container.containerid)) = "1";
        }
      }
    } else if (std::regex_search(request, match, updateLocation)) {
      AFrom.locations.at(match[2]) = match[1];
    } else if (std::regex_search(request, match, updateContainer)) {
      AFrom.containers.at(match[3]) = match[1];
    } else if (request.find("UPDATE") != std::string::npos) {
      throw std::runtime_error("an update the test does not know: " + request);
    }
  }
  return AFrom;
}

}  // namespace faults_test
