* teste
@inicio
seja $n 0
repete i 5
  soma $n i
fim repete
escreve "soma: " $n
seja v params
escreve v
se $n = 15
  escreve "quinze"
senão
  escreve "outro"
fim se
seja x (2147483647+1)
escreve x " " (7/2) " " (-7/2) " " (2*-3) " " (--4)
chama @sub
escreve "voltou"
xyz
@sub
escreve "na sub"
retorna
