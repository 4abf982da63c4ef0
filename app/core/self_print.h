// The main window's self-print test (button CmdJIkoPD): loads one of the
// seven fixed test pages of the list CmbJIkoPD into the device. It sends no
// print command; the user prints with the console's print buttons.
#pragma once

namespace quorel {

class JobHost;

class SelfPrint {
 public:
  explicit SelfPrint(JobHost& host) : host_(host) {}

  // pageIndex: the selected entry of CmbJIkoPD (-1 none, 0 the empty entry,
  // 1 to 7 the pages).
  void CmdJIkoPD_Click(int pageIndex);

 private:
  JobHost& host_;
};

}  // namespace quorel
