// TLha32: the LHA switches and commands, sent through UNLHA32.DLL.
#include "archive/lha32.h"

namespace {

DriverLibrary& unlha32()
{
    static DriverLibrary library{ArchiverLibrary("UNLHA32.DLL"), "Unlha",
                                 "Lha 形式書庫を扱うには UNLHA32.DLL が 必要です。"};
    return library;
}

void addSwitches(TCmdOpt& line, const TArchiverOptions& o, HWND ownerWindow)
{
    line.Add("-+");
    line.AddSwitch("a", o.a);
    line.AddSwitch("c", o.c);
    line.AddSwitch("e", o.e);
    line.AddSwitch("f", o.f);
    line.AddSwitch("h", o.h);
    line.AddSwitch("i", o.i);
    line.AddSwitch("l", o.l);
    line.AddSwitch("m", o.m);
    line.AddSwitch("n", ownerWindow ? int8_t{1} : o.n);
    line.AddSwitch("o", o.o);
    line.AddSwitch("p", o.p);
    line.AddSwitch("r", o.r);
    line.AddSwitch("s", o.s);
    line.AddSwitch("t", o.t);
    line.AddSwitch("u", o.u);
    line.AddFolder("w", o.w);
    line.AddSwitch("x", o.x);
    line.AddSwitch("y", o.y);
    line.AddSwitch("z", o.z);
    line.AddSwitch("jc", o.jc);
    line.AddSwitch("jd", o.jd);
    line.AddSwitch("je", o.je);
    line.AddSwitch("jf", o.jf);
    line.AddSwitch("jh", o.jh);
    line.AddSwitch("ji", o.ji);
    line.AddSwitch("jm", o.jm);
    line.AddSwitch("jn", o.jn);
    line.AddQuoted("jo", o.jo);
    line.AddQuoted("job", o.job);
    line.AddSwitch("jp", o.jp);
    line.AddSwitch("jr", o.jr);
    line.AddSwitch("jss", o.jss);
    line.AddSwitch("jw", o.jw);
    line.AddFileList("jx", o.jx);
    line.AddSwitch("jyc", o.jyc);
    line.AddSwitch("jyd", o.jyd);
    line.AddSwitch("jyk", o.jyk);
    line.AddSwitch("jyn", o.jyn);
    line.AddSwitch("jyo", o.jyo);
    line.AddQuoted("jz", o.jz);
    line.AddSwitch("ga", o.ga);
    line.AddSwitch("gd", o.gd);
    line.AddSwitch("ge", o.ge);
    line.AddSwitch("gf", o.gf);
    line.AddSwitch("gj", o.gj);
    line.AddSwitch("gm", o.gm);
    line.AddSwitch("gn", o.gn);
    line.AddSwitch("go", o.go);
    line.AddSwitch("gp", o.gp);
    line.AddQuoted("gr", o.gr);
    line.AddSwitch("gs", o.gs);
    line.AddSwitch("gu", o.gu);
    line.AddSwitch("gw", o.gw);
}

}  // namespace

TLha32::TLha32() : TLha32(unlha32()) {}

TLha32::TLha32(DriverLibrary& library) : LibraryDriver(library) {}

int TLha32::Extract(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    const std::vector<std::string>* files, std::string& output)
{
    return runUnlha(
        window, commandLine("x", options, archive, folder, files, options.ResFileUsage.contains(ruOnUnpack)), output);
}

int TLha32::Pack(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                 const std::vector<std::string>* files, std::string& output)
{
    return runUnlha(window, commandLine("u", options, archive, folder, files, options.ResFileUsage.contains(ruOnPack)),
                    output);
}

int TLha32::Remove(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string&,
                   const std::vector<std::string>* files, std::string& output)
{
    return runUnlha(
        window, commandLine("d", options, archive, "", files, options.ResFileUsage.contains(ruOnRemoveItem)), output);
}

int TLha32::Update(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                   const std::vector<std::string>* files, std::string& output)
{
    return runUnlha(
        window, commandLine("f", options, archive, folder, files, options.ResFileUsage.contains(ruOnUpdate)), output);
}

int TLha32::MakeSFX(HWND window, const std::string& archive, const TArchiverOptions& options, const std::string& folder,
                    std::string& output)
{
    return runUnlha(window, commandLine("s", options, archive, folder, nullptr, false), output);
}

std::string TLha32::commandLine(const std::string& word, const TArchiverOptions& options, const std::string& archive,
                                const std::string& folder, const std::vector<std::string>* files,
                                bool listInResponseFile) const
{
    TCmdOpt line;
    addSwitches(line, options, OwnerWindow);
    addCommandTail(line, options, archive, folder, files, listInResponseFile);
    return word + line.CmdLine;
}

int TLha32::runUnlha(HWND window, const std::string& commandLine, std::string& output)
{
    return run(unlha32(), window, commandLine, output);
}

bool IsLhaArchive(const std::string& archive) { return opensArchive(unlha32(), archive); }
