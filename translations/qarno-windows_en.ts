<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CoreCaption</name>
    <message>
        <source>保存名</source>
        <translation>Backup name</translation>
    </message>
    <message>
        <source>保存レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>未コピー数</source>
        <translation>Not copied</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>処理時間</source>
        <translation>Time taken</translation>
    </message>
    <message>
        <source>日時</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>サイズ(KB)</source>
        <translation>Size (KB)</translation>
    </message>
    <message>
        <source>使用サイズ(KB)</source>
        <translation>Used (KB)</translation>
    </message>
    <message>
        <source>保存先ディレクトリ</source>
        <translation>Destination folder</translation>
    </message>
    <message>
        <source>シリアル番号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>ボリューム名</source>
        <translation>Volume name</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>属性</source>
        <translation>Attributes</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>フラグ</source>
        <translation>Flag</translation>
    </message>
    <message>
        <source>保存セット名</source>
        <translation>Set name</translation>
    </message>
    <message>
        <source>復元フラグ</source>
        <translation>Restore flag</translation>
    </message>
    <message>
        <source>圧縮の種類</source>
        <translation>Packing</translation>
    </message>
    <message>
        <source>別名</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>トータル</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>今回コピー分</source>
        <translation>This run</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>フォルダー</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>復元予約</source>
        <translation>Marked</translation>
    </message>
    <message>
        <source>復元済み</source>
        <translation>Restored</translation>
    </message>
    <message>
        <source>ディレクトリ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Level-0 （ 全てのファイルとディレクトリ ）</source>
        <translation>Level 0 (all files and folders)</translation>
    </message>
    <message>
        <source>Level-1 （ Level-0 以降の追加/変更分 ）</source>
        <translation>Level 1 (new/changed since Level 0)</translation>
    </message>
    <message>
        <source>Level-2 （ Level-1 以降の追加/変更分 ）</source>
        <translation>Level 2 (new/changed since Level 1)</translation>
    </message>
    <message>
        <source>上書き   （ 追加/変更分だけ上書きする ）</source>
        <translation>Overwrite (overwrite new/changed only)</translation>
    </message>
    <message>
        <source>修復     （ 直前の保存名の修復をする ）</source>
        <translation>Repair (repair the last backup)</translation>
    </message>
    <message>
        <source>全てのリスト</source>
        <translation>All entries</translation>
    </message>
    <message>
        <source>今回コピーされたものだけ</source>
        <translation>Copied this run only</translation>
    </message>
    <message>
        <source>コピーできなかったものだけ</source>
        <translation>Not copied only</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>FolderDialogs</name>
    <message>
        <source>パス</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>ドライブ</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>ディレクトリ</source>
        <translation>Folder</translation>
    </message>
</context>
<context>
    <name>qarno::FApend</name>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>リストに追加するディレクトリやファイルを指定します</source>
        <translation>The folder or file to add to the list</translation>
    </message>
    <message>
        <source>指定されているディレクトリやファイルをリストに追加します</source>
        <translation>Adds the given folder or file to the list</translation>
    </message>
    <message>
        <source>このダイアログ･ボックスを閉じます</source>
        <translation>Closes this dialog box</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>ドライブの準備ができていません</source>
        <translation>The drive is not ready</translation>
    </message>
    <message>
        <source>保存リストの追加</source>
        <translation>Add to the backup list</translation>
    </message>
    <message>
        <source>保存リストの変更</source>
        <translation>Change the backup list entry</translation>
    </message>
    <message>
        <source>スキップリストの追加</source>
        <translation>Add to the skip list</translation>
    </message>
    <message>
        <source>スキップリストの変更</source>
        <translation>Change the skip list entry</translation>
    </message>
</context>
<context>
    <name>qarno::FDelAgree</name>
    <message>
        <source>Qarno&#x3000;履歴情報の削除</source>
        <translation>Qarno  Delete history entries</translation>
    </message>
    <message>
        <source>よろしいですか？</source>
        <translation>Are you sure?</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>全て削除</source>
        <translation>Delete all</translation>
    </message>
    <message>
        <source>いいえ</source>
        <translation>No</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qarno::FDelHisData</name>
    <message>
        <source>  履歴情報の削除</source>
        <translation>  Delete history entries</translation>
    </message>
    <message>
        <source>セット名</source>
        <translation>Set name</translation>
    </message>
    <message>
        <source>保存履歴</source>
        <translation>History</translation>
    </message>
    <message>
        <source>削除設定</source>
        <translation>Deletion</translation>
    </message>
    <message>
        <source>データも削除する</source>
        <translation>Delete the backup data too</translation>
    </message>
    <message>
        <source>項目削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>全項目削除</source>
        <translation>Delete all</translation>
    </message>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>整理のプレビュー</source>
        <translation>Preview pruning</translation>
    </message>
    <message>
        <source>設定の「古い保存の整理」で削除される保存を選択して示します。削除は「項目削除」で行います。</source>
        <translation>Selects the backups that the &quot;Prune old backups&quot; setting would delete. &quot;Delete&quot; deletes them.</translation>
    </message>
</context>
<context>
    <name>qarno::FDelSetName</name>
    <message>
        <source>  セット名の削除</source>
        <translation>  Delete a set</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>qarno::FEditHisData</name>
    <message>
        <source>  履歴情報の編集</source>
        <translation>  Edit history entry</translation>
    </message>
    <message>
        <source>履歴情報</source>
        <translation>History entry</translation>
    </message>
    <message>
        <source>保存名</source>
        <translation>Backup name</translation>
    </message>
    <message>
        <source>保存レベル</source>
        <translation>Backup level</translation>
    </message>
    <message>
        <source>未コピー数</source>
        <translation>Not copied</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>処理時間</source>
        <translation>Time taken</translation>
    </message>
    <message>
        <source>保存日時</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>保存サイズ</source>
        <translation>Backed up size</translation>
    </message>
    <message>
        <source>使用サイズ</source>
        <translation>Used size</translation>
    </message>
    <message>
        <source>保存先</source>
        <translation>Destination</translation>
    </message>
    <message>
        <source>シリアル番号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>ボリューム名</source>
        <translation>Volume name</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>次へ</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>qarno::FNoCompType</name>
    <message>
        <source>圧縮しないファイルタイプ</source>
        <translation>File types not packed</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>標準</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ファイルタイプに「,」と「&quot;」は使えません。</source>
        <translation>A file type cannot contain &quot;,&quot; or &apos;&quot;&apos;.</translation>
    </message>
</context>
<context>
    <name>qarno::FRestoreWindow</name>
    <message>
        <source>セット名</source>
        <translation>Set name</translation>
    </message>
    <message>
        <source>保存名</source>
        <translation>Backup name</translation>
    </message>
    <message>
        <source>復元方法の設定</source>
        <translation>How to restore</translation>
    </message>
    <message>
        <source>復元場所</source>
        <translation>Restore to</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>復元リスト</source>
        <translation>Restore list</translation>
    </message>
    <message>
        <source>サーチ</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>履歴から探す</source>
        <translation>In history</translation>
    </message>
    <message>
        <source>全て選択</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>全てクリア</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>リスト情報</source>
        <translation>List totals</translation>
    </message>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>どこに復元するか設定します。</source>
        <translation>Where to restore to.</translation>
    </message>
    <message>
        <source>このディレクトリの下に復元されます。</source>
        <translation>Items are restored under this folder.</translation>
    </message>
    <message>
        <source>「別の場所に復元」を選んだ場合に、復元先のTOPディレクトリを選択します。</source>
        <translation>With &quot;Restore elsewhere&quot;, chooses the top folder to restore into.</translation>
    </message>
    <message>
        <source>復元可能なファイルやフォルダーを表示し、「チェック」された項目を「復元予約」します。</source>
        <translation>The files and folders that can be restored; checked items are marked for restoring.</translation>
    </message>
    <message>
        <source>復元リストから探し出す文字を入力します。</source>
        <translation>The text to search the restore list for.</translation>
    </message>
    <message>
        <source>復元リストから探し出します。</source>
        <translation>Searches the restore list.</translation>
    </message>
    <message>
        <source>全ての保存履歴から探し出し、選んだ版を復元します。</source>
        <translation>Searches the whole history and restores the version you choose.</translation>
    </message>
    <message>
        <source>全ての復元リストに｢復元予約」のマークをつけます。</source>
        <translation>Marks every item of the restore list for restoring.</translation>
    </message>
    <message>
        <source>全ての復元リストから｢復元予約」のマークを消します。</source>
        <translation>Clears the restore mark from every item of the restore list.</translation>
    </message>
    <message>
        <source>復元を実行します。</source>
        <translation>Starts the restore.</translation>
    </message>
    <message>
        <source>処理を中止します。</source>
        <translation>Stops what is running.</translation>
    </message>
    <message>
        <source>元の場所に復元する</source>
        <translation>Restore to the original place</translation>
    </message>
    <message>
        <source>別の場所に復元する</source>
        <translation>Restore elsewhere</translation>
    </message>
    <message>
        <source>サーチ中(%1) ... %2 行目</source>
        <translation>Searching (%1) ... line %2</translation>
    </message>
    <message>
        <source>ありませんでした。</source>
        <translation>Not found.</translation>
    </message>
    <message>
        <source>サーチは中止されました。</source>
        <translation>The search was stopped.</translation>
    </message>
    <message>
        <source>見つけました(%1) ... %2 行目</source>
        <translation>Found (%1) ... line %2</translation>
    </message>
    <message>
        <source>探すファイルの名前を入力してください。</source>
        <translation>Enter the name of the file to search for.</translation>
    </message>
    <message>
        <source> 終了</source>
        <translation> finished</translation>
    </message>
</context>
<context>
    <name>qarno::FSetDir</name>
    <message>
        <source> セットフォルダーの選択</source>
        <translation> Choose the set folder</translation>
    </message>
    <message>
        <source>セット名</source>
        <translation>Set name</translation>
    </message>
    <message>
        <source>セットフォルダー</source>
        <translation>Set folder</translation>
    </message>
    <message>
        <source>現在あるフォルダーのリスト</source>
        <translation>The folders there are now</translation>
    </message>
    <message>
        <source>選択されたフォルダーにあるセット名のリスト</source>
        <translation>The sets in the chosen folder</translation>
    </message>
    <message>
        <source>セットフォルダーとして使用するフォルダー名</source>
        <translation>The name of the folder to use as the set folder</translation>
    </message>
</context>
<context>
    <name>qarno::FSetting</name>
    <message>
        <source>保存時のファイル圧縮方法を選択します。</source>
        <translation>How files are packed when backed up.</translation>
    </message>
    <message>
        <source>保存実行時に、保存先ディスクに空き容量を残しておきます。</source>
        <translation>Leaves free space on the destination disk when backing up.</translation>
    </message>
    <message>
        <source>他のプログラムでロックされているファイルの保存の有無。全セット名に共通です。</source>
        <translation>Whether files locked by other programs are backed up. Common to all sets.</translation>
    </message>
    <message>
        <source>保存先に使用できるパス名の文字数制限を設定します。この値を超えた場合、実際のコピーは専用のフォルダーに別の名前で行われます。全セット名に共通です。</source>
        <translation>Limits the length of path names at the destination. A longer one is copied under another name into a folder of its own. Common to all sets.</translation>
    </message>
    <message>
        <source>最後に成功した保存からこの日数を過ぎると、メイン画面のセット名の下に警告を表示します。0 または空欄で警告しません。</source>
        <translation>After this many days since the last successful backup, a warning shows under the set name in the main window. 0 or empty: no warning.</translation>
    </message>
    <message>
        <source>保存後に実際に使用したディスクサイズを計算します。次の保存時の目安に使用して下さい。</source>
        <translation>Works out the disk space a backup really used, as a guide for the next one.</translation>
    </message>
    <message>
        <source>ファイル圧縮</source>
        <translation>Packing</translation>
    </message>
    <message>
        <source>圧縮しない</source>
        <translation>Do not pack</translation>
    </message>
    <message>
        <source>圧縮する(LHA)</source>
        <translation>Pack (LHA)</translation>
    </message>
    <message>
        <source>圧縮の設定</source>
        <translation>Packing options</translation>
    </message>
    <message>
        <source>指定したファイルタイプは圧縮しない</source>
        <translation>Do not pack the listed types</translation>
    </message>
    <message>
        <source>必ず圧縮する</source>
        <translation>Always pack</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Types</translation>
    </message>
    <message>
        <source>ボリューム・シリアル</source>
        <translation>Volume serial</translation>
    </message>
    <message>
        <source>保存時に確認する</source>
        <translation>Check when backing up</translation>
    </message>
    <message>
        <source>保存先ディスク</source>
        <translation>Destination disk</translation>
    </message>
    <message>
        <source>残量制限を行う</source>
        <translation>Keep free</translation>
    </message>
    <message>
        <source>保存時のエラー処理</source>
        <translation>On errors</translation>
    </message>
    <message>
        <source>不要な中間ファイルを削除する</source>
        <translation>Delete leftover files</translation>
    </message>
    <message>
        <source>ロックされたファイル</source>
        <translation>Locked files</translation>
    </message>
    <message>
        <source>保存する</source>
        <translation>Back up</translation>
    </message>
    <message>
        <source>パス名</source>
        <translation>Path names</translation>
    </message>
    <message>
        <source>文字数制限を行う</source>
        <translation>Limit length</translation>
    </message>
    <message>
        <source>使用サイズの計算</source>
        <translation>Used size</translation>
    </message>
    <message>
        <source>計算する</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>デバッグ設定</source>
        <translation>Debugging</translation>
    </message>
    <message>
        <source>古い保存の警告</source>
        <translation>Old backup warning</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>chars</translation>
    </message>
    <message>
        <source>警告までの日数</source>
        <translation>Days until warning</translation>
    </message>
    <message>
        <source>日</source>
        <translation>days</translation>
    </message>
    <message>
        <source>残量制限の値（MB）</source>
        <translation>Free space to keep (MB)</translation>
    </message>
    <message>
        <source>文字数制限の値（文字）</source>
        <translation>Path length limit (characters)</translation>
    </message>
    <message>
        <source>  設定</source>
        <translation>  Settings</translation>
    </message>
    <message>
        <source>「圧縮する」を選択した場合に、圧縮する条件を設定します</source>
        <translation>When packing, which files are packed</translation>
    </message>
    <message>
        <source>「圧縮する」を選択した場合でも、登録しているタイプのファイルは圧縮しません。</source>
        <translation>Even when packing, files of the listed types are not packed.</translation>
    </message>
    <message>
        <source>「圧縮する」を選択した場合は必ず圧縮します。</source>
        <translation>When packing, every file is packed.</translation>
    </message>
    <message>
        <source>圧縮しないファイルタイプを登録します。全セット名で共通です</source>
        <translation>Lists the file types that are not packed. Common to all sets</translation>
    </message>
    <message>
        <source>保存先ドライブに対してボリューム・シリアルとボリューム名がついているか確認する。</source>
        <translation>Checks that the destination drive has a volume serial and a volume name.</translation>
    </message>
    <message>
        <source>保存実行でエラーが発生し、保存履歴に登録されなかった無駄な保存名で作成したファイルなどを削除します。</source>
        <translation>Deletes the files a failed backup left under a backup name that never reached the history.</translation>
    </message>
    <message>
        <source>デバッグ情報を出力しない</source>
        <translation>No debug output</translation>
    </message>
    <message>
        <source>デバッグ情報を出力する</source>
        <translation>Debug output</translation>
    </message>
    <message>
        <source>ファイル名を含めないで出力する</source>
        <translation>Debug output without file names</translation>
    </message>
    <message>
        <source>古い保存の整理</source>
        <translation>Prune old backups</translation>
    </message>
    <message>
        <source>指定しない</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source>残す系列の数</source>
        <translation>Chains to keep</translation>
    </message>
    <message>
        <source>系列</source>
        <translation>chains</translation>
    </message>
    <message>
        <source>残す日数</source>
        <translation>Days to keep</translation>
    </message>
    <message>
        <source>空き容量が足りないときは古い保存から削除する</source>
        <translation>Delete the oldest backups when free space runs short</translation>
    </message>
    <message>
        <source>保存のあとで、Level-0 とそれに続く保存（系列）ごとに古い保存を削除します。新しい系列から指定の数と、最後の保存が指定の日数より新しい系列は残します。最新の系列と上書き保存は削除しません。</source>
        <translation>After a backup, deletes old backups a chain at a time (a Level 0 and the backups after it). The newest chains up to the given number, and chains whose last backup is newer than the given days, are kept. The newest chain and overwrite backups are never deleted.</translation>
    </message>
    <message>
        <source>保存先の残量が制限値を下回ったとき、残す設定にあたらない最も古い系列から削除して空きを作ります。</source>
        <translation>When the destination&apos;s free space falls below the limit, makes room by deleting the oldest chains not kept by the settings above.</translation>
    </message>
    <message>
        <source>警告までの日数は 0 から %1 までの整数で指定してください（0 または空欄で警告しません）。</source>
        <translation>The days until the warning must be a whole number from 0 to %1 (0 or empty: no warning).</translation>
    </message>
    <message>
        <source>元の値に戻しました。</source>
        <translation>The previous value was put back.</translation>
    </message>
    <message>
        <source>残量制限の値は %1 から %2 までの整数で指定してください。</source>
        <translation>The free space to keep must be a whole number from %1 to %2.</translation>
    </message>
    <message>
        <source>文字数制限の値は %1 から %2 までの整数で指定してください。</source>
        <translation>The path length limit must be a whole number from %1 to %2.</translation>
    </message>
</context>
<context>
    <name>qarno::FShutdown</name>
    <message>
        <source>Windows 終了確認</source>
        <translation>Shut down Windows</translation>
    </message>
    <message>
        <source>Windowsを終了します</source>
        <translation>Windows will shut down</translation>
    </message>
    <message>
        <source>コンピューター 終了確認</source>
        <translation>Shut down the computer</translation>
    </message>
    <message>
        <source>コンピューターを終了します</source>
        <translation>The computer will shut down</translation>
    </message>
    <message>
        <source>よろしいですか？</source>
        <translation>Are you sure?</translation>
    </message>
    <message>
        <source>取り消し</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qarno::FVerify</name>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>  検証</source>
        <translation>  Verify</translation>
    </message>
    <message>
        <source>保存名</source>
        <translation>Backup name</translation>
    </message>
    <message>
        <source>検証の方法</source>
        <translation>How to verify</translation>
    </message>
    <message>
        <source>簡易検証</source>
        <translation>Quick check</translation>
    </message>
    <message>
        <source>完全検証</source>
        <translation>Full check</translation>
    </message>
    <message>
        <source>保存したファイルが保存先にあり、サイズが記録どおりかを確かめます。短時間で終わります。</source>
        <translation>Checks that the backed up files are at the destination with the recorded sizes. Quick.</translation>
    </message>
    <message>
        <source>保存したファイルをすべて読み戻し（圧縮ファイルは展開し）、保存時の内容の目録と照合します。保存の大きさに応じて時間がかかります。</source>
        <translation>Reads back every backed up file (unpacking packed ones) and compares it with the manifest written at backup time. Takes time in proportion to the backup.</translation>
    </message>
    <message>
        <source>検証開始</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>選んだ方法で検証を始めます。検証は保存先のファイルを読むだけで、何も書き換えません。</source>
        <translation>Starts the check you chose. Verifying only reads the destination; it changes nothing.</translation>
    </message>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>検証の方法を選んで「検証開始」を押してください。</source>
        <translation>Choose how to verify, then press &quot;Verify&quot;.</translation>
    </message>
    <message>
        <source>見つかった問題</source>
        <translation>Problems found</translation>
    </message>
    <message>
        <source>検証を次のファイルで止めます。</source>
        <translation>Stops verifying at the next file.</translation>
    </message>
    <message>
        <source>保存リストを読んでいます...</source>
        <translation>Reading the listing...</translation>
    </message>
    <message>
        <source>検証中 %1 / %2  %3</source>
        <translation>Verifying %1 / %2  %3</translation>
    </message>
    <message>
        <source>保存リストを読めませんでした。検証できません。
</source>
        <translation>The listing could not be read. Nothing can be verified.
</translation>
    </message>
    <message>
        <source>%1を中止しました。問題はそれまでに見つかったものです。</source>
        <translation>%1 stopped. The problems are those found until then.</translation>
    </message>
    <message>
        <source>%1が終わりました。問題は見つかりませんでした。</source>
        <translation>%1 finished. No problems found.</translation>
    </message>
    <message>
        <source>%1が終わりました。問題が %2 件見つかりました。</source>
        <translation>%1 finished. %2 problem(s) found.</translation>
    </message>
    <message>
        <source>この保存には内容の目録がありません（目録のない版で保存されたか、目録を作らない設定でした）。保存リストで確かめられる範囲で検証しました。</source>
        <translation>This backup has no manifest (it was made by a version without one, or with manifests turned off). It was verified as far as the listing allows.</translation>
    </message>
    <message>
        <source>内容の目録は新しい版のプログラムで書かれています。保存リストで確かめられる範囲で検証しました。</source>
        <translation>The manifest was written by a newer version of the program. The backup was verified as far as the listing allows.</translation>
    </message>
    <message>
        <source>目録にない %1 ファイルは、サイズと書庫の CRC だけで確かめました。</source>
        <translation>%1 file(s) missing from the manifest were checked by size and archive CRC only.</translation>
    </message>
    <message>
        <source>検証したファイル %1 / %2、目録と照合 %3、問題 %4 件</source>
        <translation>Files checked %1 / %2, compared with the manifest %3, problems %4</translation>
    </message>
</context>
<context>
    <name>qarno::FindHistoryWindow</name>
    <message>
        <source>  履歴から探す</source>
        <translation>  Find in history</translation>
    </message>
    <message>
        <source>探すファイル</source>
        <translation>File to find</translation>
    </message>
    <message>
        <source>見つかったファイルと、それを保存している保存履歴を新しい順に表示します。</source>
        <translation>The files found and the backups that hold them, newest first.</translation>
    </message>
    <message>
        <source>この版を復元</source>
        <translation>Restore this version</translation>
    </message>
    <message>
        <source>選んだ版を、その版を保存している保存履歴から復元します。</source>
        <translation>Restores the chosen version from the backup that holds it.</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>処理を中止します。</source>
        <translation>Stops what is running.</translation>
    </message>
    <message>
        <source>復元先: %1 の下</source>
        <translation>Restore to: under %1</translation>
    </message>
    <message>
        <source>復元先: 元の場所</source>
        <translation>Restore to: the original place</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>履歴から探しています ...</source>
        <translation>Searching the history ...</translation>
    </message>
    <message>
        <source>中止されました。(%1 / %2 の保存履歴を探しました)</source>
        <translation>Stopped. (%1 of %2 backups searched)</translation>
    </message>
    <message>
        <source>「%1」は保存履歴にありませんでした。</source>
        <translation>&quot;%1&quot; is not in the history.</translation>
    </message>
    <message>
        <source>%1 個のファイル、%2 個の版が見つかりました。</source>
        <translation>%1 file(s), %2 version(s) found.</translation>
    </message>
    <message>
        <source>読めなかったCSVファイル %1 個: </source>
        <translation>Listings that could not be read, %1: </translation>
    </message>
    <message>
        <source>保存名 </source>
        <translation>Backup name </translation>
    </message>
    <message>
        <source>復元先 </source>
        <translation>Restore to </translation>
    </message>
    <message>
        <source>この版を復元しますか？</source>
        <translation>Restore this version?</translation>
    </message>
    <message>
        <source>中止されました。</source>
        <translation>Stopped.</translation>
    </message>
    <message>
        <source>この版を載せた保存履歴のCSVファイルが読めません。</source>
        <translation>The listing of the backup that holds this version cannot be read.</translation>
    </message>
    <message>
        <source>復元しました。</source>
        <translation>Restored.</translation>
    </message>
    <message>
        <source>復元できませんでした。</source>
        <translation>Could not be restored.</translation>
    </message>
    <message>
        <source>履歴から探しています ... %1 / %2</source>
        <translation>Searching the history ... %1 / %2</translation>
    </message>
</context>
<context>
    <name>qarno::FoundVersionsModel</name>
    <message>
        <source>  (%1 版)</source>
        <translation>  (%1 versions)</translation>
    </message>
    <message>
        <source>ファイル / 保存名</source>
        <translation>File / backup name</translation>
    </message>
    <message>
        <source>保存日時</source>
        <translation>Backed up</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>保存先</source>
        <translation>Destination</translation>
    </message>
</context>
<context>
    <name>qarno::GetSaveDir</name>
    <message>
        <source>  復元先ディレクトリの選択</source>
        <translation>  Choose the folder to restore to</translation>
    </message>
    <message>
        <source>  保存先ディレクトリの選択</source>
        <translation>  Choose the destination folder</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ドライブの準備ができていません。</source>
        <translation>The drive is not ready.</translation>
    </message>
    <message>
        <source>しばらくしてから再試行してください。</source>
        <translation>Please try again in a moment.</translation>
    </message>
    <message>
        <source>ディレクトリ名を指定してください。</source>
        <translation>Please enter a folder name.</translation>
    </message>
</context>
<context>
    <name>qarno::GetSetName</name>
    <message>
        <source>  セット名の選択</source>
        <translation>  Choose a set</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qarno::QarnoWindow</name>
    <message>
        <source>セット名</source>
        <translation>Set name</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>保存先ディレクトリ</source>
        <translation>Destination folder</translation>
    </message>
    <message>
        <source>保存レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>保存/スキップリスト</source>
        <translation>Backup/skip list</translation>
    </message>
    <message>
        <source>保存リスト</source>
        <translation>Backup list</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>変更</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>表示切替</source>
        <translation>Switch list</translation>
    </message>
    <message>
        <source>保存履歴</source>
        <translation>History</translation>
    </message>
    <message>
        <source>保存開始</source>
        <translation>Back up</translation>
    </message>
    <message>
        <source>復元</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>保存セット(&amp;B)</source>
        <translation>&amp;Backup set</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>名前をつけて保存</source>
        <translation>Save &amp;As</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>非圧縮タイプの設定</source>
        <translation>&amp;No-compression types</translation>
    </message>
    <message>
        <source>セット名フォルダーの変更</source>
        <translation>Change the set &amp;folder</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>セット名の削除</source>
        <translation>&amp;Delete a set</translation>
    </message>
    <message>
        <source>履歴情報の編集</source>
        <translation>Edit history &amp;entry</translation>
    </message>
    <message>
        <source>保存内容の詳細表示</source>
        <translation>Show backup deta&amp;ils</translation>
    </message>
    <message>
        <source>検証</source>
        <translation>&amp;Verify</translation>
    </message>
    <message>
        <source>履歴情報の削除</source>
        <translation>Delete histor&amp;y entries</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;M)</source>
        <translation>&amp;Manual</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>UNLHAバージョン</source>
        <translation>&amp;UNLHA version</translation>
    </message>
    <message>
        <source>セット名の選択</source>
        <translation>&amp;Choose a set</translation>
    </message>
    <message>
        <source>履歴情報</source>
        <translation>History entry</translation>
    </message>
    <message>
        <source>リストに表示する内容を、保存リストとスキップリストの間で切替えます</source>
        <translation>Switches the list between the backup list and the skip list</translation>
    </message>
    <message>
        <source>セット名を変更したり、新しいセットを作成するためのダイアログ・ボックスを開きます</source>
        <translation>Opens a dialog box to change the set or create a new one</translation>
    </message>
    <message>
        <source>バックアップの保存先ディレクトリを選択するためのダイアログ・ボックスを開きます</source>
        <translation>Opens a dialog box to choose the destination folder of the backup</translation>
    </message>
    <message>
        <source>今回保存されるファイルとディレクトリの種類（レベル）を設定します</source>
        <translation>Which files and folders this backup takes (the level)</translation>
    </message>
    <message>
        <source>今までのバックアップの履歴が表示されます</source>
        <translation>The history of the backups made so far</translation>
    </message>
    <message>
        <source>バックアップを行うためのダイアログ・ボックスを開きます</source>
        <translation>Opens the dialog box that runs the backup</translation>
    </message>
    <message>
        <source>プログラムを終了します</source>
        <translation>Exits the program</translation>
    </message>
    <message>
        <source>保存履歴で選択されている時点の状態に復元するためのダイアログ・ボックスを開きます</source>
        <translation>Opens a dialog box to restore the state of the backup chosen in the history</translation>
    </message>
    <message>
        <source>ここに登録されているファイル又はディレクトリ（その全てのサブディレクトリとファイルを含む）が保存対象に含まれます</source>
        <translation>The files and folders listed here (with all their subfolders and files) are backed up</translation>
    </message>
    <message>
        <source>保存リストに追加するためのダイアログ・ボックスを開きます</source>
        <translation>Opens a dialog box to add to the backup list</translation>
    </message>
    <message>
        <source>選択されている項目を保存リストから削除します</source>
        <translation>Removes the selected items from the backup list</translation>
    </message>
    <message>
        <source>スキップリスト</source>
        <translation>Skip list</translation>
    </message>
    <message>
        <source>ここに登録されているファイル又はディレクトリ（その全てのサブディレクトリとファイルを含む）は保存対象から除かれます</source>
        <translation>The files and folders listed here (with all their subfolders and files) are left out of the backup</translation>
    </message>
    <message>
        <source>スキップリストに追加するためのダイアログ・ボックスを開きます</source>
        <translation>Opens a dialog box to add to the skip list</translation>
    </message>
    <message>
        <source>選択されている項目をスキップリストから削除します</source>
        <translation>Removes the selected items from the skip list</translation>
    </message>
    <message>
        <source>ヘルプファイルを開けませんでした。</source>
        <translation>The help file could not be opened.</translation>
    </message>
    <message>
        <source>UNLHA32がインストールされていません。</source>
        <translation>UNLHA32 is not installed.</translation>
    </message>
    <message>
        <source>UNLHA32 バージョン情報</source>
        <translation>UNLHA32 version</translation>
    </message>
    <message>
        <source>項目が選択されていません。</source>
        <translation>No item is selected.</translation>
    </message>
    <message>
        <source>セットファイルまたは履歴ファイルが保存できませんでした。</source>
        <translation>The set file or the history file could not be saved.</translation>
    </message>
</context>
<context>
    <name>qarno::SaveExecWindow</name>
    <message>
        <source>セット名</source>
        <translation>Set name</translation>
    </message>
    <message>
        <source>今回の保存名</source>
        <translation>This backup</translation>
    </message>
    <message>
        <source>前回の保存名</source>
        <translation>Last backup</translation>
    </message>
    <message>
        <source>保存先</source>
        <translation>Destination</translation>
    </message>
    <message>
        <source>保存レベル</source>
        <translation>Backup level</translation>
    </message>
    <message>
        <source>圧縮方法</source>
        <translation>Packing</translation>
    </message>
    <message>
        <source>セーブリスト</source>
        <translation>Backup list</translation>
    </message>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>リスト情報</source>
        <translation>List totals</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>バックアップを中断して、このダイアログ･ボックスを閉じます</source>
        <translation>Stops the backup and closes this dialog box</translation>
    </message>
    <message>
        <source>セーブリストに表示する内容を選択します</source>
        <translation>Chooses what the backup list shows</translation>
    </message>
    <message>
        <source>保存が完了しませんでした。</source>
        <translation>The backup did not complete.</translation>
    </message>
    <message numerus="yes">
        <source>%n 個コピーできませんでした。</source>
        <translation>
            <numerusform>%n entry could not be copied.</numerusform>
            <numerusform>%n entries could not be copied.</numerusform>
        </translation>
    </message>
    <message>
        <source>&#x3000;終了</source>
        <translation> finished</translation>
    </message>
</context>
<context>
    <name>qarno::SaveListModel</name>
    <message>
        <source>理由</source>
        <translation>Reason</translation>
    </message>
</context>
<context>
    <name>qarno::VerifyProblemModel</name>
    <message>
        <source>コピーがありません</source>
        <translation>Copy missing</translation>
    </message>
    <message>
        <source>サイズが違います</source>
        <translation>Size differs</translation>
    </message>
    <message>
        <source>内容が違います</source>
        <translation>Content differs</translation>
    </message>
    <message>
        <source>書庫が壊れています</source>
        <translation>Archive damaged</translation>
    </message>
    <message>
        <source>目録が壊れています</source>
        <translation>Manifest damaged</translation>
    </message>
    <message>
        <source>保存リストが壊れています</source>
        <translation>Listing damaged</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>詳細</source>
        <translation>Detail</translation>
    </message>
</context>
</TS>
