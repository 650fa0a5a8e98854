# The 7z-only library (7za.dll) of 7-Zip's Format7z bundle for MinGW: the file
# list of the bundle's own makefile with 7-Zip's gcc rules; the archiver reads
# and writes nothing but 7z. Run in CPP/7zip/Bundles/Format7z of 7-Zip's
# sources: make -f THIS IS_MINGW=1 IS_X64=1 ...
PROG = 7za
DEF_FILE = ../../Archive/Archive2.def

include ../../LzmaDec_gcc.mak

LOCAL_FLAGS = \
  -DZ7_DEFLATE_EXTRACT_ONLY \
  -DZ7_BZIP2_EXTRACT_ONLY \

SYS_OBJS = \
  $O/resource.o \

COMMON_OBJS = \
  $O/CRC.o \
  $O/CrcReg.o \
  $O/IntToString.o \
  $O/LzFindPrepare.o \
  $O/NewHandler.o \
  $O/MyString.o \
  $O/Sha256Prepare.o \
  $O/Sha256Reg.o \
  $O/StringConvert.o \
  $O/StringToInt.o \
  $O/MyVector.o \
  $O/Wildcard.o \

WIN_OBJS = \
  $O/FileDir.o \
  $O/FileFind.o \
  $O/FileIO.o \
  $O/FileName.o \
  $O/PropVariant.o \
  $O/Synchronization.o \
  $O/System.o \
  $O/TimeUtils.o \

7ZIP_COMMON_OBJS = \
  $O/CreateCoder.o \
  $O/CWrappers.o \
  $O/InBuffer.o \
  $O/InOutTempBuffer.o \
  $O/FilterCoder.o \
  $O/LimitedStreams.o \
  $O/MethodId.o \
  $O/MethodProps.o \
  $O/OutBuffer.o \
  $O/ProgressUtils.o \
  $O/PropId.o \
  $O/StreamBinder.o \
  $O/StreamObjects.o \
  $O/StreamUtils.o \
  $O/UniqBlocks.o \
  $O/VirtThread.o \

AR_OBJS = \
  $O/ArchiveExports.o \
  $O/DllExports2.o \

AR_COMMON_OBJS = \
  $O/CoderMixer2.o \
  $O/HandlerOut.o \
  $O/InStreamWithCRC.o \
  $O/ItemNameUtils.o \
  $O/OutStreamWithCRC.o \
  $O/ParseProperties.o \

7Z_OBJS = \
  $O/7zCompressionMode.o \
  $O/7zDecode.o \
  $O/7zEncode.o \
  $O/7zExtract.o \
  $O/7zFolderInStream.o \
  $O/7zHandler.o \
  $O/7zHandlerOut.o \
  $O/7zHeader.o \
  $O/7zIn.o \
  $O/7zOut.o \
  $O/7zProperties.o \
  $O/7zSpecStream.o \
  $O/7zUpdate.o \
  $O/7zRegister.o \

COMPRESS_OBJS = \
  $O/CodecExports.o \
  $O/Bcj2Coder.o \
  $O/Bcj2Register.o \
  $O/BcjCoder.o \
  $O/BcjRegister.o \
  $O/BitlDecoder.o \
  $O/BranchMisc.o \
  $O/BranchRegister.o \
  $O/ByteSwap.o \
  $O/BZip2Crc.o \
  $O/BZip2Decoder.o \
  $O/BZip2Register.o \
  $O/CopyCoder.o \
  $O/CopyRegister.o \
  $O/DeflateDecoder.o \
  $O/DeflateRegister.o \
  $O/DeltaFilter.o \
  $O/Lzma2Decoder.o \
  $O/Lzma2Encoder.o \
  $O/Lzma2Register.o \
  $O/LzmaDecoder.o \
  $O/LzmaEncoder.o \
  $O/LzmaRegister.o \
  $O/LzOutWindow.o \
  $O/PpmdDecoder.o \
  $O/PpmdEncoder.o \
  $O/PpmdRegister.o \

CRYPTO_OBJS = \
  $O/7zAes.o \
  $O/7zAesRegister.o \
  $O/MyAes.o \
  $O/MyAesReg.o \
  $O/RandGen.o \

C_OBJS = \
  $O/7zCrc.o \
  $O/7zCrcOpt.o \
  $O/7zStream.o \
  $O/Aes.o \
  $O/AesOpt.o \
  $O/Alloc.o \
  $O/Bcj2.o \
  $O/Bcj2Enc.o \
  $O/Bra.o \
  $O/Bra86.o \
  $O/BraIA64.o \
  $O/BwtSort.o \
  $O/CpuArch.o \
  $O/Delta.o \
  $O/HuffEnc.o \
  $O/LzFind.o \
  $O/LzFindMt.o \
  $O/LzFindOpt.o \
  $O/Lzma2Dec.o \
  $O/Lzma2DecMt.o \
  $O/Lzma2Enc.o \
  $O/LzmaDec.o \
  $O/LzmaEnc.o \
  $O/MtCoder.o \
  $O/MtDec.o \
  $O/Ppmd7.o \
  $O/Ppmd7Dec.o \
  $O/Ppmd7Enc.o \
  $O/Sha256.o \
  $O/Sha256Opt.o \
  $O/Sort.o \
  $O/SwapBytes.o \
  $O/Threads.o \

OBJS = \
  $(LZMA_DEC_OPT_OBJS) \
  $(C_OBJS) \
  $(COMMON_OBJS) \
  $(WIN_OBJS) \
  $(7ZIP_COMMON_OBJS) \
  $(AR_OBJS) \
  $(AR_COMMON_OBJS) \
  $(7Z_OBJS) \
  $(COMPRESS_OBJS) \
  $(CRYPTO_OBJS) \
  $(SYS_OBJS) \

include ../../7zip_gcc.mak
# Beside this makefile (make runs in the bundle's folder).
include $(dir $(firstword $(MAKEFILE_LIST)))pch.mak
