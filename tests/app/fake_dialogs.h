// Dialogs for tests: they record what the program asked and answer at once.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/kit/dialogs.h"

struct ShownBox {
  QString caption;
  QString text;
};

class RecordingDialogs : public app::Dialogs {
 public:
  void showError(const QString& caption, const QString& text) override { errors.push_back({caption, text}); }
  int confirm(const QString& caption, const QString& text) override {
    confirms.push_back({caption, text});
    return confirmAnswer;
  }
  bool saveFile(app::SaveFileRequest& request) override {
    saveRequests.push_back(request);
    if (!saveAnswer) return false;
    request.fileName = *saveAnswer;
    return true;
  }

  std::vector<ShownBox> errors;
  std::vector<ShownBox> confirms;
  int confirmAnswer = app::kIdNo;
  std::vector<app::SaveFileRequest> saveRequests;
  std::optional<QString> saveAnswer;  // nullopt: the user cancels
};

// Installed for the whole test run: a box nobody expected fails the test
// instead of waiting for a click that never comes.
class UnexpectedDialogs : public app::Dialogs {
 public:
  void showError(const QString& caption, const QString& text) override {
    ADD_FAILURE() << "unexpected error box: " << caption.toStdString() << ": " << text.toStdString();
  }
  int confirm(const QString&, const QString& text) override {
    ADD_FAILURE() << "unexpected confirmation box: " << text.toStdString();
    return app::kIdNo;
  }
  bool saveFile(app::SaveFileRequest&) override {
    ADD_FAILURE() << "unexpected save dialog";
    return false;
  }
};
