// Dialogs for tests: they record what the program asked and answer at once.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/kit/backend.h"
#include "app/kit/dialogs.h"

struct ShownBox {
  std::string caption;
  std::string text;
};

class FakeDialogs : public kit::Dialogs {
 public:
  void ShowError(const std::string& caption, const std::string& text) override { errors.push_back({caption, text}); }
  void ShowInformation(const std::string& caption, const std::string& text) override {
    notices.push_back({caption, text});
  }
  int Confirm(const std::string& caption, const std::string& text) override {
    confirms.push_back({caption, text});
    return confirmAnswer;
  }
  bool SaveFile(kit::SaveFileRequest& request) override {
    saveRequests.push_back(request);
    if (!saveAnswer) return false;
    request.fileName = *saveAnswer;
    return true;
  }

  // Prints on nothing: the page is drawn as a printer of `printDpi` would
  // have it, and the answer given is printAnswer.
  kit::PrintResult Print(const kit::PrintJob& job) override {
    printed.push_back(job);
    if (printAnswer.outcome == kit::PrintOutcome::Done) {
      const std::unique_ptr<kit::PaintDevice> device = kit::CreatePageMeasuringDevice(printDpi);
      TCanvas canvas;
      canvas.SetDevice(device.get());
      job.drawPage(canvas, kit::A4Page(printDpi));
      canvas.SetDevice(nullptr);
    }
    return printAnswer;
  }

  std::vector<ShownBox> errors;
  std::vector<ShownBox> notices;
  std::vector<ShownBox> confirms;
  int confirmAnswer = kit::kIdNo;
  std::vector<kit::SaveFileRequest> saveRequests;
  std::optional<std::string> saveAnswer;  // nullopt: the user cancels
  std::vector<kit::PrintJob> printed;     // the jobs asked for
  kit::PrintResult printAnswer;
  int printDpi = 300;
};

// Installed for the whole test run: a box nobody expected fails the test
// instead of waiting for a click that never comes.
class UnexpectedDialogs : public kit::Dialogs {
 public:
  void ShowError(const std::string& caption, const std::string& text) override {
    ADD_FAILURE() << "unexpected error box: " << caption << ": " << text;
  }
  int Confirm(const std::string&, const std::string& text) override {
    ADD_FAILURE() << "unexpected confirmation box: " << text;
    return kit::kIdNo;
  }
  bool SaveFile(kit::SaveFileRequest&) override {
    ADD_FAILURE() << "unexpected save dialog";
    return false;
  }
  void ShowInformation(const std::string& caption, const std::string& text) override {
    ADD_FAILURE() << "unexpected notice: " << caption << ": " << text;
  }
  kit::PrintResult Print(const kit::PrintJob& job) override {
    ADD_FAILURE() << "unexpected print dialog: " << job.title;
    return {kit::PrintOutcome::Cancelled, {}};
  }
};
