# The GUI self-extractor module (7z.sfx) of 7-Zip's SFXWin bundle for MinGW:
# the file list of the bundle's own makefile with 7-Zip's gcc rules. Run in
# CPP/7zip/Bundles/SFXWin of 7-Zip's sources: make -f THIS IS_MINGW=1 IS_X64=1 ...
PROG = 7z
MY_FIXED = 1

include ../../LzmaDec_gcc.mak

# A GUI program: no console window behind the dialogs.
MY_LIBS = -mwindows

LOCAL_FLAGS = \
  -DZ7_NO_REGISTRY \
  -DZ7_EXTRACT_ONLY \
  -DZ7_NO_READ_FROM_CODER \
  -DZ7_SFX \
  -DZ7_NO_LONG_PATH \
  -DZ7_NO_LARGE_PAGES \

CURRENT_OBJS = \
  $O/SfxWin.o \

GUI_OBJS = \
  $O/ExtractDialog.o \
  $O/ExtractGUI.o \

COMMON_OBJS = \
  $O/CRC.o \
  $O/CommandLineParser.o \
  $O/IntToString.o \
  $O/NewHandler.o \
  $O/MyString.o \
  $O/Sha256Prepare.o \
  $O/StringConvert.o \
  $O/MyVector.o \
  $O/Wildcard.o \

WIN_OBJS = \
  $O/Clipboard.o \
  $O/CommonDialog.o \
  $O/DLL.o \
  $O/ErrorMsg.o \
  $O/FileDir.o \
  $O/FileFind.o \
  $O/FileIO.o \
  $O/FileName.o \
  $O/MemoryGlobal.o \
  $O/PropVariant.o \
  $O/PropVariantConv.o \
  $O/ResourceString.o \
  $O/Shell.o \
  $O/Synchronization.o \
  $O/System.o \
  $O/TimeUtils.o \
  $O/Window.o \

WIN_CTRL_OBJS = \
  $O/ComboBox.o \
  $O/Dialog.o \
  $O/ListView.o \

7ZIP_COMMON_OBJS = \
  $O/CreateCoder.o \
  $O/CWrappers.o \
  $O/FilePathAutoRename.o \
  $O/FileStreams.o \
  $O/InBuffer.o \
  $O/FilterCoder.o \
  $O/LimitedStreams.o \
  $O/OutBuffer.o \
  $O/ProgressUtils.o \
  $O/PropId.o \
  $O/StreamBinder.o \
  $O/StreamObjects.o \
  $O/StreamUtils.o \
  $O/VirtThread.o \

UI_COMMON_OBJS = \
  $O/ArchiveExtractCallback.o \
  $O/ArchiveOpenCallback.o \
  $O/DefaultName.o \
  $O/Extract.o \
  $O/ExtractingFilePath.o \
  $O/LoadCodecs.o \
  $O/OpenArchive.o \

EXPLORER_OBJS = \
  $O/MyMessages.o \

FM_OBJS = \
  $O/BrowseDialog.o \
  $O/ComboDialog.o \
  $O/ExtractCallback.o \
  $O/FormatUtils.o \
  $O/OverwriteDialog.o \
  $O/PasswordDialog.o \
  $O/ProgressDialog2.o \
  $O/PropertyName.o \
  $O/SysIconUtils.o \

AR_OBJS = \
  $O/SplitHandler.o \

AR_COMMON_OBJS = \
  $O/CoderMixer2.o \
  $O/ItemNameUtils.o \
  $O/MultiStream.o \
  $O/OutStreamWithCRC.o \

7Z_OBJS = \
  $O/7zDecode.o \
  $O/7zExtract.o \
  $O/7zHandler.o \
  $O/7zIn.o \
  $O/7zRegister.o \

COMPRESS_OBJS = \
  $O/Bcj2Coder.o \
  $O/Bcj2Register.o \
  $O/BcjCoder.o \
  $O/BcjRegister.o \
  $O/BranchMisc.o \
  $O/BranchRegister.o \
  $O/CopyCoder.o \
  $O/CopyRegister.o \
  $O/DeltaFilter.o \
  $O/Lzma2Decoder.o \
  $O/Lzma2Register.o \
  $O/LzmaDecoder.o \
  $O/LzmaRegister.o \
  $O/PpmdDecoder.o \
  $O/PpmdRegister.o \

CRYPTO_OBJS = \
  $O/7zAes.o \
  $O/7zAesRegister.o \
  $O/MyAes.o \

# With the C objects of the bundle's Aes, Crc, LzmaDec and Sha256 includes.
C_OBJS = \
  $O/7zCrc.o \
  $O/7zCrcOpt.o \
  $O/7zStream.o \
  $O/Aes.o \
  $O/AesOpt.o \
  $O/Alloc.o \
  $O/Bcj2.o \
  $O/Bra.o \
  $O/Bra86.o \
  $O/BraIA64.o \
  $O/CpuArch.o \
  $O/Delta.o \
  $O/DllSecur.o \
  $O/Lzma2Dec.o \
  $O/Lzma2DecMt.o \
  $O/LzmaDec.o \
  $O/MtDec.o \
  $O/Ppmd7.o \
  $O/Ppmd7Dec.o \
  $O/Sha256.o \
  $O/Sha256Opt.o \
  $O/Threads.o \

OBJS = \
  $(LZMA_DEC_OPT_OBJS) \
  $(C_OBJS) \
  $(COMMON_OBJS) \
  $(WIN_OBJS) \
  $(WIN_CTRL_OBJS) \
  $(7ZIP_COMMON_OBJS) \
  $(UI_COMMON_OBJS) \
  $(EXPLORER_OBJS) \
  $(FM_OBJS) \
  $(GUI_OBJS) \
  $(AR_OBJS) \
  $(AR_COMMON_OBJS) \
  $(7Z_OBJS) \
  $(COMPRESS_OBJS) \
  $(CRYPTO_OBJS) \
  $(CURRENT_OBJS) \
  $O/resource.o \

include ../../7zip_gcc.mak

# The one source that 7-Zip's gcc rules do not name.
$O/SfxWin.o: SfxWin.cpp
	$(CXX) $(CXXFLAGS) $<
# Beside this makefile (make runs in the bundle's folder).
include $(dir $(firstword $(MAKEFILE_LIST)))pch.mak
